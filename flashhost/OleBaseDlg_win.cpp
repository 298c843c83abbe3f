#include "flashhost/OleBaseDlg_win.h"

#include "platform/Handles_win.h"
#include "platform/player/MovieControl_win.h"

HostDragState& HostDrag()
{
    static HostDragState state;
    return state;
}

template <class TControl>
TOleBaseDlg<TControl>::~TOleBaseDlg()
{
    // The control's teardown order, written out rather than left to member order.
    if (pControl) {
        if (pConnectionPoint) {
            if (dwAdviseCookie)
                pConnectionPoint->Unadvise(dwAdviseCookie);
            pConnectionPoint.Reset();
        }
        pConnectionPointContainer.Reset();
        pOleObject->Close(OLECLOSE_NOSAVE);
        pViewObjectEx.Reset();
        pViewObject.Reset();
        pInPlaceObjectWindowless.Reset();
        pInPlaceObject.Reset();
        pOleObject.Reset();
        pControl.Reset();
    } else if (pOleObject) {
        // Created but not usable: close it so it lets go of this site.
        pOleObject->Close(OLECLOSE_NOSAVE);
        pOleObject.Reset();
    }
}

// IOleClientSite (and IOleWindow, IDispatch) are left out on purpose: the
// control is handed the site by OleCreate and SetClientSite and never needs
// to ask for it; the host's answers are a fixed contract, pinned by tests.
template <class TControl>
STDMETHODIMP TOleBaseDlg<TControl>::QueryInterface(REFIID iid, void** ppv)
{
    return ComBoundary([&]() -> HRESULT {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(iid, IID_IUnknown))
            *ppv = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceSite) || IsEqualIID(iid, IID_IOleInPlaceSiteEx) ||
                 IsEqualIID(iid, IID_IOleInPlaceSiteWindowless))
            *ppv = static_cast<IOleInPlaceSiteWindowless*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceFrame))
            *ppv = static_cast<IOleInPlaceFrame*>(this);
        else if (IsEqualIID(iid, IID_IStorage))
            *ppv = static_cast<IStorage*>(this);
        else
            *ppv = QueryExtraInterface(iid);
        if (!*ppv)
            return E_NOINTERFACE;
        ++nRefCount;
        return S_OK;
    });
}

template <class TControl>
STDMETHODIMP_(ULONG) TOleBaseDlg<TControl>::AddRef()
{
    return static_cast<ULONG>(++nRefCount);
}

template <class TControl>
STDMETHODIMP_(ULONG) TOleBaseDlg<TControl>::Release()
{
    return static_cast<ULONG>(--nRefCount);
}

template <class TControl>
STDMETHODIMP TOleBaseDlg<TControl>::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                                     LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    return ComBoundary([&] {
        if (frame)
            *frame = static_cast<IOleInPlaceFrame*>(this);
        if (doc)
            *doc = nullptr;
        if (info) {
            info->fMDIApp = FALSE;
            info->hwndFrame = hHostWnd;
            info->haccel = nullptr;
            info->cAccelEntries = 0;
        }
        RECT client{};
        ::GetClientRect(hHostWnd, &client);
        if (pos)
            *pos = client;
        if (clip)
            *clip = client;
        return S_OK;
    });
}

template <class TControl>
BOOL TOleBaseDlg<TControl>::Create(HWND hwnd, REFCLSID controlClass, DWORD exStyle, DWORD style, SIZE size)
{
    clsid = controlClass;
    bLayered = (exStyle & WS_EX_LAYERED) ? TRUE : FALSE;
    hHostWnd = hwnd;
    // The caption bits (WS_CAPTION = WS_BORDER | WS_DLGFRAME) are stripped:
    // the layered face has no frame, whatever style the caller passes.
    ::SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(style & 0xFF3FFFFF));
    ::SetWindowLongW(hwnd, GWL_EXSTYLE, static_cast<LONG>(exStyle));
    ::SetWindowPos(hwnd, nullptr, -10000, -10000, size.cx, size.cy, SWP_NOZORDER);
    ::UpdateWindow(hwnd);

    // A failed call may leave anything in its out-parameter: such a pointer
    // is dropped with Detach, never released.
    HRESULT hr = ::OleCreate(clsid, IID_IOleObject, OLERENDER_DRAW, nullptr, static_cast<IOleClientSite*>(this),
                             static_cast<IStorage*>(this), &pOleObject);
    if (FAILED(hr) || !pOleObject) {
        pOleObject.Detach();
        return FALSE;
    }
    if (FAILED(::OleSetContainedObject(pOleObject.Get(), TRUE)))
        return FALSE;
    if (FAILED(pOleObject->QueryInterface(IID_IShockwaveFlash, &pControl)))
        return FALSE;
    if (FAILED(pOleObject->QueryInterface(IID_PPV_ARGS(&pViewObjectEx)))) {
        pViewObjectEx.Detach();
        if (FAILED(pOleObject->QueryInterface(IID_PPV_ARGS(&pViewObject))))
            return FALSE;
    }
    if (bLayered) {
        if (FAILED(pOleObject->QueryInterface(IID_PPV_ARGS(&pInPlaceObjectWindowless)))) {
            pInPlaceObjectWindowless.Detach();
            if (FAILED(pOleObject->QueryInterface(IID_PPV_ARGS(&pInPlaceObject))))
                return FALSE;
            bLayered = FALSE;
        }
    } else if (FAILED(pOleObject->QueryInterface(IID_PPV_ARGS(&pInPlaceObject)))) {
        return FALSE;
    }
    if (!ConfigureControl())
        return FALSE;
    if (FAILED(pOleObject->SetClientSite(static_cast<IOleClientSite*>(this))))
        return FALSE;
    if (FAILED(pOleObject->DoVerb(OLEIVERB_SHOW, nullptr, static_cast<IOleClientSite*>(this), 0, nullptr, nullptr)))
        return FALSE;
    return LoadContent() ? TRUE : FALSE;
}

template <class TControl>
void TOleBaseDlg<TControl>::ShowSurfaceFields()
{
    hBlackDc = surfaces_.BlackDc();
    hBlackBitmap = surfaces_.BlackBitmap();
    pBlackBits = surfaces_.BlackBits();
    hWhiteDc = surfaces_.WhiteDc();
    hWhiteBitmap = surfaces_.WhiteBitmap();
    pWhiteBits = surfaces_.WhiteBits();
    rcLastWindow = surfaces_.WindowRect();
}

template <class TControl>
void TOleBaseDlg<TControl>::Draw(HDC dc, LPCRECT, BOOL)
{
    IViewObject* view = DrawingInterface();
    if (!bLayered) {
        RECT client{};
        ::GetClientRect(hHostWnd, &client);
        if (!view)
            return;
        if (dc) {
            ::OleDraw(view, DVASPECT_CONTENT, dc, &client);
        } else {
            WindowDc windowDc(hHostWnd);
            ::OleDraw(view, DVASPECT_CONTENT, windowDc.Get(), &client);
        }
        return;
    }
    // A minimised window's rectangle is the icon's, off every screen: a frame
    // composed for it would replace the face until the next picture change.
    // The host redraws when the window is restored.
    if (::IsIconic(hHostWnd))
        return;
    surfaces_.DrawFrame(hHostWnd, pOleObject ? view : nullptr);
    ShowSurfaceFields();
}

template <class TControl>
typename TOleBaseDlg<TControl>::Routed TOleBaseDlg<TControl>::RouteMessage(UINT message, WPARAM wParam,
                                                                           LPARAM lParam)
{
    Routed routed;
    HostDragState& drag = HostDrag();
    switch (message) {
    case WM_PAINT:
        if (!bLayered) {
            PaintDc paint(hHostWnd);
            Draw(paint.Get(), &paint.Info().rcPaint, paint.Info().fErase);
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {  // a quick second press drags like the first
        POINT cursor{};
        RECT window{};
        ::GetCursorPos(&cursor);
        ::GetWindowRect(hHostWnd, &window);
        drag.offset = POINT{cursor.x - window.left, cursor.y - window.top};
        drag.dragging = true;
        ::SetCapture(hHostWnd);
        break;
    }
    case WM_MOUSEMOVE:
        if (drag.dragging && !(wParam & MK_LBUTTON)) {
            // The button went up where this window never heard of it.
            drag.dragging = false;
            if (::GetCapture() == hHostWnd)
                ::ReleaseCapture();
        } else if (drag.dragging) {
            POINT cursor{};
            ::GetCursorPos(&cursor);
            ::SetWindowPos(hHostWnd, nullptr, cursor.x - drag.offset.x, cursor.y - drag.offset.y, 0, 0, SWP_NOSIZE);
            routed.moved = true;
        }
        if (!trackingLeave_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hHostWnd, 0};
            trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
        }
        break;
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        break;
    case WM_LBUTTONUP:
        ::ReleaseCapture();
        drag.dragging = false;
        break;
    default:
        break;
    }
    const bool forwarded = message == WM_SETCURSOR || message == WM_KEYDOWN || message == WM_KEYUP ||
                           message == WM_CHAR || message == WM_SYSKEYDOWN ||
                           (message >= WM_MOUSEFIRST && message <= WM_MOUSEWHEEL) || message == WM_MOUSELEAVE;
    if (pInPlaceObjectWindowless && forwarded) {
        LRESULT result = 0;
        if (pInPlaceObjectWindowless->OnWindowMessage(message, wParam, lParam, &result) == S_OK) {
            routed.handled = true;
            routed.result = result;
        }
    }
    return routed;
}

template class TOleBaseDlg<IShockwaveFlash>;
