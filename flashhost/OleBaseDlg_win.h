#pragma once
// A windowless OLE control container that is itself the control's client
// site, in-place site, frame and storage. It hosts one control in an existing
// window and, for a layered host, composes the control's frames into the
// window with per-pixel alpha (two renders, over black and over white).
//
// Its COM reference count only counts: the object lives exactly as long as
// the dialog that embeds it.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include "flashhost/LayeredSurfaces_win.h"
#include "platform/Com_win.h"

template <class TControl>
class TOleBaseDlg : public IOleClientSite,
                    public IOleInPlaceSiteWindowless,
                    public IOleInPlaceFrame,
                    public IStorage {
public:
    TOleBaseDlg() = default;
    virtual ~TOleBaseDlg();
    TOleBaseDlg(const TOleBaseDlg&) = delete;
    TOleBaseDlg& operator=(const TOleBaseDlg&) = delete;

    // What RouteMessage did with one queued message.
    struct Routed {
        bool handled = false;  // the control consumed it; result is its answer
        LRESULT result = 0;
        bool moved = false;    // a drag moved the host window
    };

    // IUnknown, shared by every interface of the object.
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** container) override
    {
        return ComBoundary([&] {
            if (container)
                *container = nullptr;
            return E_NOINTERFACE;
        });
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (both the site's and the frame's)
    STDMETHODIMP GetWindow(HWND* hwnd) override
    {
        return ComBoundary([&]() -> HRESULT {
            if (!hwnd)
                return E_POINTER;
            *hwnd = hHostWnd;
            return S_OK;
        });
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceSiteEx
    STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD) override
    {
        return ComBoundary([&] {
            if (noRedraw)
                *noRedraw = FALSE;
            return S_OK;
        });
    }
    STDMETHODIMP OnInPlaceDeactivateEx(BOOL) override { return S_FALSE; }
    STDMETHODIMP RequestUIActivate() override { return S_FALSE; }

    // IOleInPlaceSiteWindowless
    STDMETHODIMP CanWindowlessActivate() override { return S_OK; }
    STDMETHODIMP GetCapture() override { return S_FALSE; }
    STDMETHODIMP SetCapture(BOOL) override { return S_FALSE; }
    STDMETHODIMP GetFocus() override { return S_OK; }
    STDMETHODIMP SetFocus(BOOL) override { return S_OK; }
    STDMETHODIMP GetDC(LPCRECT, DWORD, HDC*) override { return S_FALSE; }
    STDMETHODIMP ReleaseDC(HDC) override { return S_FALSE; }
    STDMETHODIMP InvalidateRect(LPCRECT rect, BOOL erase) override
    {
        return ComBoundary([&] {
            Draw(nullptr, rect, erase);
            return S_OK;
        });
    }
    STDMETHODIMP InvalidateRgn(HRGN, BOOL) override { return S_OK; }
    STDMETHODIMP ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return E_NOTIMPL; }
    STDMETHODIMP AdjustRect(LPRECT) override { return S_FALSE; }
    STDMETHODIMP OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT*) override { return S_FALSE; }

    // IOleInPlaceUIWindow
    STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

    // IOleInPlaceFrame
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return E_NOTIMPL; }

    // IStorage: the control only names its class.
    STDMETHODIMP CreateStream(LPCOLESTR, DWORD, DWORD, DWORD, IStream**) override { return E_NOTIMPL; }
    STDMETHODIMP OpenStream(LPCOLESTR, void*, DWORD, DWORD, IStream**) override { return E_NOTIMPL; }
    STDMETHODIMP CreateStorage(LPCOLESTR, DWORD, DWORD, DWORD, IStorage**) override { return E_NOTIMPL; }
    STDMETHODIMP OpenStorage(LPCOLESTR, IStorage*, DWORD, SNB, DWORD, IStorage**) override { return E_NOTIMPL; }
    STDMETHODIMP CopyTo(DWORD, const IID*, SNB, IStorage*) override { return E_NOTIMPL; }
    STDMETHODIMP MoveElementTo(LPCOLESTR, IStorage*, LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Commit(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Revert() override { return E_NOTIMPL; }
    STDMETHODIMP EnumElements(DWORD, void*, DWORD, IEnumSTATSTG**) override { return E_NOTIMPL; }
    STDMETHODIMP DestroyElement(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP RenameElement(LPCOLESTR, LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP SetElementTimes(LPCOLESTR, const FILETIME*, const FILETIME*, const FILETIME*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetClass(REFCLSID) override { return S_OK; }
    STDMETHODIMP SetStateBits(DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }

    // The host's own operations.
    virtual Routed RouteMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Hosts the control in hwnd with the given styles, parked off-screen at
    // the given size until the control's picture places it.
    virtual BOOL Create(HWND hwnd, REFCLSID controlClass, DWORD exStyle, DWORD style, SIZE size);
    virtual void Draw(HDC dc, LPCRECT rect, BOOL erase);
    virtual BOOL ConfigureControl() { return TRUE; }
    virtual BOOL LoadContent() { return TRUE; }
    // Where the control's events arrive (an IDispatch-shaped group).
    virtual HRESULT EventGetTypeInfoCount(UINT*) { return E_NOTIMPL; }
    virtual HRESULT EventGetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
    virtual HRESULT EventGetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
    virtual HRESULT DispatchEvent(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
    {
        return S_OK;
    }

    // Fields (zero or null after construction).
    CLSID clsid{};
    ComPtr<TControl> pControl;
    ComPtr<IOleObject> pOleObject;
    ComPtr<IViewObject> pViewObject;
    ComPtr<IViewObjectEx> pViewObjectEx;
    ComPtr<IOleInPlaceObject> pInPlaceObject;
    ComPtr<IOleInPlaceObjectWindowless> pInPlaceObjectWindowless;
    ComPtr<IConnectionPointContainer> pConnectionPointContainer;
    ComPtr<IConnectionPoint> pConnectionPoint;
    HWND hHostWnd = nullptr;
    BOOL bLayered = FALSE;
    DWORD dwAdviseCookie = 0;
    // The layered surfaces as they stand after the last layered Draw; owned
    // by surfaces_, these only show them.
    HDC hBlackDc = nullptr;
    HBITMAP hBlackBitmap = nullptr;
    BYTE* pBlackBits = nullptr;
    HDC hWhiteDc = nullptr;
    HBITMAP hWhiteBitmap = nullptr;
    BYTE* pWhiteBits = nullptr;
    RECT rcLastWindow{};
    LONG nRefCount = 0;

protected:
    // Extra interfaces a derived host answers after the table here fails.
    virtual void* QueryExtraInterface(REFIID) { return nullptr; }

private:
    void ShowSurfaceFields();
    IViewObject* DrawingInterface() const
    {
        return pViewObjectEx ? static_cast<IViewObject*>(pViewObjectEx.Get()) : pViewObject.Get();
    }

    LayeredSurfaces surfaces_;
    // A mouse-leave notice is requested for this host's window; each window
    // asks for its own.
    bool trackingLeave_ = false;
};

// One drag of the host window at a time: the flag and the cursor's offset
// from the window's top-left corner.
struct HostDragState {
    bool dragging = false;
    POINT offset{};
};
HostDragState& HostDrag();
