#include "controls/DUIButton_win.h"

#include "controls/ButtonFrame.h"

void CDUIButton::Setup(const wchar_t* text, const RECT& rect, CWnd* owner, Gdiplus::Image* image, int frameCount,
                       int id)
{
    if (text)
        m_strText = text;
    m_rect = rect;
    m_pOwner = owner;
    m_pImage = image;
    m_nFrameCount = frameCount;
    m_nID = id;
}

void CDUIButton::Draw(Gdiplus::Graphics& graphics)
{
    if (m_pImage && m_nFrameCount > 0) {
        const int frame = ChooseFrame(m_bDisabled != 0, m_bPressed != 0, m_bHover != 0, m_nFrameCount);
        const Rect source = FrameSource(static_cast<int>(m_pImage->GetWidth()),
                                        static_cast<int>(m_pImage->GetHeight()), m_nFrameCount, frame);
        const Gdiplus::RectF destination(static_cast<Gdiplus::REAL>(m_rect.left), static_cast<Gdiplus::REAL>(m_rect.top),
                                         static_cast<Gdiplus::REAL>(m_rect.right - m_rect.left),
                                         static_cast<Gdiplus::REAL>(m_rect.bottom - m_rect.top));
        graphics.DrawImage(m_pImage, destination, static_cast<Gdiplus::REAL>(source.left),
                           static_cast<Gdiplus::REAL>(source.top), static_cast<Gdiplus::REAL>(source.Width()),
                           static_cast<Gdiplus::REAL>(source.Height()), Gdiplus::UnitPixel);
    }
    if (m_strText.empty())
        return;
    Gdiplus::FontFamily family(L"宋体");
    Gdiplus::Font font(&family, 10, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    Gdiplus::SolidBrush brush(m_bDisabled ? Gdiplus::Color(255, 128, 128, 128) : Gdiplus::Color(255, 255, 255, 255));
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(m_rect.left), static_cast<Gdiplus::REAL>(m_rect.top),
                             static_cast<Gdiplus::REAL>(m_rect.right - m_rect.left),
                             static_cast<Gdiplus::REAL>(m_rect.bottom - m_rect.top));
    graphics.DrawString(m_strText.c_str(), -1, &font, box, &format, &brush);
}
