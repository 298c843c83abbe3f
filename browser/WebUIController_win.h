#pragma once
// A browser event sink that, once connected to a browser, makes itself the
// UI handler of every document the browser loads, hiding the 3-D border and
// the scroll bars as its options say. The game window owns one and leaves it
// unconnected.
#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>

class CWebUIController final : public DWebBrowserEvents2, public IDocHostUIHandler {
public:
    CWebUIController(BOOL show3DBorder = TRUE, BOOL showScrollBars = TRUE)
        : bShow3DBorder(show3DBorder), bShowScrollBars(showScrollBars)
    {
    }
    virtual ~CWebUIController() = default;
    CWebUIController(const CWebUIController&) = delete;
    CWebUIController& operator=(const CWebUIController&) = delete;

    // IUnknown, one count for both interfaces; the last Release deletes.
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // DWebBrowserEvents2: NavigateComplete2 attaches to the new document.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // IDocHostUIHandler: only GetHostInfo answers.
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return E_NOTIMPL; }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP HideUI() override { return E_NOTIMPL; }
    STDMETHODIMP UpdateUI() override { return E_NOTIMPL; }
    STDMETHODIMP EnableModeless(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget**) override { return E_NOTIMPL; }
    STDMETHODIMP GetExternal(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject**) override { return E_NOTIMPL; }

    LONG nRefCount = 0;
    BOOL bShow3DBorder;
    BOOL bShowScrollBars;

private:
    void AttachTo(IDispatch* browser);
};
