#pragma once
// A button drawn into its owner's picture (the game window's frame): a
// record the owner keeps, changes and asks to draw itself.
#include <windows.h>
#include <ole2.h>  // before GDI+, which needs the COM types
#include <gdiplus.h>

#include <string>

class CWnd;

class CDUIButton {
public:
    CDUIButton() = default;
    virtual ~CDUIButton() = default;
    CDUIButton(const CDUIButton&) = default;
    CDUIButton& operator=(const CDUIButton&) = default;

    // Fills the record; a null text leaves the text as it is.
    void Setup(const wchar_t* text, const RECT& rect, CWnd* owner, Gdiplus::Image* image, int frameCount, int id);
    // Paints the frame of the button's state, stretched into its rectangle,
    // and its text over it.
    virtual void Draw(Gdiplus::Graphics& graphics);

    RECT m_rect{};
    int m_bHover = 0;
    int m_bPressed = 0;
    int m_bDisabled = 0;
    int m_bChecked = 0;
    Gdiplus::Image* m_pImage = nullptr;  // the cache's; never freed here
    int m_nFrameCount = 0;
    Gdiplus::Image* m_pIcon = nullptr;
    int m_nIconX = 0;
    int m_nIconY = 0;
    int m_nID = 0;
    CWnd* m_pOwner = nullptr;
    std::wstring m_strText;
};
