#include "flashhost/OleBaseDlg_win.h"

#include "flashhost/AlphaRecovery.h"
#include "platform/player/MovieControl_win.h"
#include "platform/Handles_win.h"

HostDragState& HostDrag()
{
    static HostDragState state;
    return state;
}

template <class TControl>
TOleBaseDlg<TControl>::~TOleBaseDlg()
{
    if (pControl) {
        if (pConnectionPoint) {
            if (dwAdviseCookie)
                pConnectionPoint->Unadvise(dwAdviseCookie);
            pConnectionPoint->Release();
        }
        if (pConnectionPointContainer)
            pConnectionPointContainer->Release();
        pOleObject->Close(OLECLOSE_NOSAVE);
        if (pViewObjectEx)
            pViewObjectEx->Release();
        if (pViewObject)
            pViewObject->Release();
        if (pInPlaceObjectWindowless)
            pInPlaceObjectWindowless->Release();
        if (pInPlaceObject)
            pInPlaceObject->Release();
        if (pOleObject)
            pOleObject->Release();
        pControl->Release();
    } else if (pOleObject) {
        // Created but not usable: close it so it lets go of this site.
        pOleObject->Close(OLECLOSE_NOSAVE);
        pOleObject->Release();
    }
    DeleteSurfaces();
}

// IOleClientSite (and IOleWindow, IDispatch) are left out on purpose: the
// control is handed the site by OleCreate and SetClientSite and never needs
// to ask for it; the host's answers are a fixed contract, pinned by tests.
template <class TControl>
STDMETHODIMP TOleBaseDlg<TControl>::QueryInterface(REFIID iid, void** ppv)
{
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
}

template <class TControl>
BOOL TOleBaseDlg<TControl>::Create(HWND hwnd, REFCLSID controlClass, DWORD exStyle, DWORD style, SIZE size)
{
    clsid = controlClass;
    bLayered = (exStyle & WS_EX_LAYERED) ? TRUE : FALSE;
    hHostWnd = hwnd;
    // The caption bits (WS_CAPTION = WS_BORDER | WS_DLGFRAME) are stripped:
    // the layered face has no frame, whatever style the caller passes.
    SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(style & 0xFF3FFFFF));
    SetWindowLongW(hwnd, GWL_EXSTYLE, static_cast<LONG>(exStyle));
    SetWindowPos(hwnd, nullptr, -10000, -10000, size.cx, size.cy, SWP_NOZORDER);
    UpdateWindow(hwnd);

    HRESULT hr = OleCreate(clsid, IID_IOleObject, OLERENDER_DRAW, nullptr, static_cast<IOleClientSite*>(this),
                           static_cast<IStorage*>(this), reinterpret_cast<void**>(&pOleObject));
    if (FAILED(hr) || !pOleObject) {
        pOleObject = nullptr;
        return FALSE;
    }
    if (FAILED(OleSetContainedObject(pOleObject, TRUE)))
        return FALSE;
    if (FAILED(pOleObject->QueryInterface(IID_IShockwaveFlash, reinterpret_cast<void**>(&pControl))))
        return FALSE;
    if (FAILED(pOleObject->QueryInterface(IID_IViewObjectEx, reinterpret_cast<void**>(&pViewObjectEx)))) {
        pViewObjectEx = nullptr;
        if (FAILED(pOleObject->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&pViewObject))))
            return FALSE;
    }
    if (bLayered) {
        if (FAILED(pOleObject->QueryInterface(IID_IOleInPlaceObjectWindowless,
                                              reinterpret_cast<void**>(&pInPlaceObjectWindowless)))) {
            pInPlaceObjectWindowless = nullptr;
            if (FAILED(pOleObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlaceObject))))
                return FALSE;
            bLayered = FALSE;
        }
    } else if (FAILED(pOleObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlaceObject)))) {
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
void TOleBaseDlg<TControl>::DeleteSurfaces()
{
    if (hBlackDc)
        DeleteDC(hBlackDc);
    if (hBlackBitmap)
        DeleteObject(hBlackBitmap);
    if (hWhiteDc)
        DeleteDC(hWhiteDc);
    if (hWhiteBitmap)
        DeleteObject(hWhiteBitmap);
    hBlackDc = hWhiteDc = nullptr;
    hBlackBitmap = hWhiteBitmap = nullptr;
    pBlackBits = pWhiteBits = nullptr;
}

template <class TControl>
bool TOleBaseDlg<TControl>::MakeSurfaces(const RECT& r)
{
    DeleteSurfaces();
    rcLastWindow = r;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = r.right - r.left;
    bmi.bmiHeader.biHeight = -(r.bottom - r.top);
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    {
        WindowDc screen(hHostWnd);
        void* bits = nullptr;
        hBlackDc = CreateCompatibleDC(screen.Get());
        hBlackBitmap = CreateDIBSection(screen.Get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        pBlackBits = static_cast<BYTE*>(bits);
        if (hBlackDc && hBlackBitmap)
            SelectObject(hBlackDc, hBlackBitmap);
        bits = nullptr;
        hWhiteDc = CreateCompatibleDC(screen.Get());
        hWhiteBitmap = CreateDIBSection(screen.Get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        pWhiteBits = static_cast<BYTE*>(bits);
        if (hWhiteDc && hWhiteBitmap)
            SelectObject(hWhiteDc, hWhiteBitmap);
    }
    if (!hBlackDc || !hBlackBitmap || !pBlackBits || !hWhiteDc || !hWhiteBitmap || !pWhiteBits) {
        // Skip this frame; the next one tries again from nothing.
        DeleteSurfaces();
        rcLastWindow = RECT{};
        return false;
    }
    return true;
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
            OleDraw(view, DVASPECT_CONTENT, dc, &client);
        } else {
            WindowDc windowDc(hHostWnd);
            OleDraw(view, DVASPECT_CONTENT, windowDc.Get(), &client);
        }
        return;
    }

    RECT r{};
    ::GetWindowRect(hHostWnd, &r);
    if ((!hBlackDc || !EqualRect(&r, &rcLastWindow)) && !MakeSurfaces(r))
        return;
    const LONG w = r.right - r.left;
    const LONG h = r.bottom - r.top;
    POINT destination{r.left, r.top};
    SIZE size{w, h};
    POINT source{0, 0};
    if (pOleObject && view) {
        RECT client{};
        ::GetClientRect(hHostWnd, &client);
        const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;
        memset(pBlackBits, 0x00, bytes);
        memset(pWhiteBits, 0xFF, bytes);
        GdiFlush();
        OleDraw(view, DVASPECT_TRANSPARENT, hBlackDc, &client);
        OleDraw(view, DVASPECT_TRANSPARENT, hWhiteDc, &client);
        GdiFlush();
        RecoverAlpha(pBlackBits, pWhiteBits, static_cast<uint32_t>(w), static_cast<uint32_t>(h));
    }
    // Looked up on every frame, on purpose: the call is resolved by name at
    // run time so the program starts on systems without it.
    ScopedLibrary user32(LoadLibraryA("User32.DLL"));
    if (!user32)
        return;
    using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
    auto update = reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(user32.Get(), "UpdateLayeredWindow")));
    if (update) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        update(hHostWnd, nullptr, &destination, &size, hBlackDc, &source, 0, &blend, ULW_ALPHA);
    }
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
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hHostWnd, &ps);
            Draw(dc, &ps.rcPaint, ps.fErase);
            EndPaint(hHostWnd, &ps);
        }
        break;
    case WM_LBUTTONDOWN: {
        POINT cursor{};
        RECT window{};
        GetCursorPos(&cursor);
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
                ReleaseCapture();
        } else if (drag.dragging) {
            POINT cursor{};
            GetCursorPos(&cursor);
            SetWindowPos(hHostWnd, nullptr, cursor.x - drag.offset.x, cursor.y - drag.offset.y, 0, 0, SWP_NOSIZE);
            routed.moved = true;
        }
        if (!drag.trackingLeave) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hHostWnd, 0};
            drag.trackingLeave = TrackMouseEvent(&track) != FALSE;
        }
        break;
    case WM_MOUSELEAVE:
        drag.trackingLeave = false;
        break;
    case WM_LBUTTONUP:
        ReleaseCapture();
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
