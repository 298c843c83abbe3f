#include "controls/PngButton_win.h"

#include <commctrl.h>


#include "controls/PngStrip.h"
#include "platform/Geometry_win.h"
#include "platform/MemoryStream_win.h"
#include "platform/ResourceBytes_win.h"

// The dispatch: the pointer's moves, hover, leave, press and release change
// the look; painting happens through the owner-draw reflection.
LRESULT CPngButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        if (!m_bTracking) {
            TRACKMOUSEEVENT track{sizeof track, TME_HOVER | TME_LEAVE, m_hWnd, 1};
            m_bTracking = _TrackMouseEvent(&track) != FALSE;
        }
        break;
    case WM_MOUSEHOVER:
        if (m_nState != pngstrip::kHover)
            SetState(pngstrip::kHover);
        return 0;
    case WM_MOUSELEAVE:
        m_bTracking = false;
        if (m_nKind == kPush)
            m_nState = pngstrip::kNormal;
        else if (m_nKind == kLatching)
            m_nState = m_bLatched ? pngstrip::kPressed : pngstrip::kNormal;
        RedrawOnParent();
        return 0;
    case WM_LBUTTONDOWN:
        if (m_nState != pngstrip::kPressed) {
            m_bLatched = true;
            SetState(pngstrip::kPressed);
        }
        break;
    case WM_LBUTTONUP:
        if (m_nState != pngstrip::kHover)
            SetState(pngstrip::kHover);
        break;
    case WM_ERASEBKGND:
        return TRUE;
    default:
        break;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

CPngButton::~CPngButton() = default;

void CPngButton::PreSubclassWindow()
{
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetStyle() | BS_OWNERDRAW | WS_CLIPSIBLINGS);
}

std::unique_ptr<CPngButton::Strip> CPngButton::LoadPngStrip(UINT id)
{
    std::span<const uint8_t> bytes = ResourceBytes(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), L"PNG");
    if (bytes.empty())
        return nullptr;
    auto strip = std::make_unique<Strip>();
    strip->stream = StreamOnCopy(bytes);
    if (!strip->stream)
        return nullptr;
    strip->image = std::make_unique<Gdiplus::Image>(strip->stream.Get());
    return strip;
}

void CPngButton::SetPngStrip(UINT id, int frameCount, int kind)
{
    m_strip = LoadPngStrip(id);
    m_nKind = kind;
    m_nFrameCount = frameCount;
    if (!m_strip || !m_hWnd)
        return;
    const int width = static_cast<int>(m_strip->image->GetWidth());
    const int height = static_cast<int>(m_strip->image->GetHeight());
    if (std::optional<Size> size = pngstrip::FrameSize(width, height, frameCount))
        SetWindowPos(nullptr, 0, 0, size->cx, size->cy, SWP_NOMOVE | SWP_NOACTIVATE);
}

void CPngButton::SetState(int state)
{
    m_nState = state;
    RedrawOnParent();
}

// The parent paints its background under the button, which is then drawn
// over it: the strip's transparent parts show the parent.
void CPngButton::RedrawOnParent()
{
    HWND parent = ::GetParent(m_hWnd);
    if (!parent)
        return;
    RECT r;
    GetWindowRect(&r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    InvalidateRect(parent, &r, TRUE);
}

void CPngButton::DrawItem(LPDRAWITEMSTRUCT item)
{
    if (!IsWindowEnabled(m_hWnd))
        m_nState = pngstrip::kDisabled;
    if (!m_strip || !item)
        return;
    Gdiplus::Image* image = m_strip->image.get();
    const std::optional<Rect> frame = pngstrip::Frame(static_cast<int>(image->GetWidth()),
                                                      static_cast<int>(image->GetHeight()), m_nFrameCount, m_nState);
    if (!frame)
        return;
    Gdiplus::Graphics graphics(item->hDC);
    graphics.DrawImage(image, 0, 0, frame->left, frame->top, frame->Width(), frame->Height(), Gdiplus::UnitPixel);
}
