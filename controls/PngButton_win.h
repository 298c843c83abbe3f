#pragma once
// A push button drawn entirely from one PNG strip, one frame per look
// (normal, hover, pressed, disabled). It keeps the platform button's
// behaviour (focus, capture, the click to its parent) and replaces only its
// painting and its notion of state; the parent's background shows through
// the strip's transparent parts.
#include <windows.h>
#include <ole2.h>  // before GDI+, which needs the COM types
#include <gdiplus.h>

#include <memory>

#include "platform/Com_win.h"
#include "platform/Framework_win.h"

class CPngButton : public CButton {
public:
    enum Kind { kPush = 16, kLatching = 17 };

    CPngButton() = default;
    ~CPngButton() override;

    // Loads the strip from resource id (type "PNG") and sizes the button to
    // one frame. Without GDI+ running, or without the resource, the button
    // keeps its size and draws nothing.
    void SetPngStrip(UINT id, int frameCount, int kind);
    void DrawItem(LPDRAWITEMSTRUCT item) override;

    bool m_bTracking = false;
    int m_nFrameCount = 0;
    int m_nState = 1;
    int m_nKind = kPush;
    bool m_bLatched = false;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The decoded strip with the stream it may read from again; both live
    // as long as the picture.
    struct Strip {
        ComPtr<IStream> stream;
        std::unique_ptr<Gdiplus::Image> image;
    };
    static std::unique_ptr<Strip> LoadPngStrip(UINT id);
    void SetState(int state);
    void RedrawOnParent();

    std::unique_ptr<Strip> m_strip;
};
