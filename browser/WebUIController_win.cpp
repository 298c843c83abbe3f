#include "browser/WebUIController_win.h"

#include <mshtml.h>

#include "browser/WebBrowser2_win.h"
#include "platform/Com_win.h"

STDMETHODIMP CWebUIController::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(iid, DIID_DWebBrowserEvents2) || IsEqualIID(iid, IID_IDispatch))
        *ppv = static_cast<DWebBrowserEvents2*>(this);
    else if (IsEqualIID(iid, IID_IDocHostUIHandler) || IsEqualIID(iid, IID_IUnknown))
        *ppv = static_cast<IDocHostUIHandler*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CWebUIController::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&nRefCount)); }

STDMETHODIMP_(ULONG) CWebUIController::Release()
{
    const LONG count = InterlockedDecrement(&nRefCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP CWebUIController::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
STDMETHODIMP CWebUIController::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
STDMETHODIMP CWebUIController::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CWebUIController::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                      UINT*)
{
    return ComBoundary([&]() -> HRESULT {
        if (!params)
            return E_INVALIDARG;
        if (id != CWebBrowser2::kNavigateComplete2)
            return S_OK;
        // The event's first parameter, the browser, comes last in the array.
        if (params->cArgs < 2 || !params->rgvarg || params->rgvarg[1].vt != VT_DISPATCH)
            return E_INVALIDARG;
        AttachTo(params->rgvarg[1].pdispVal);
        return S_OK;
    });
}

void CWebUIController::AttachTo(IDispatch* browserDispatch)
{
    if (!browserDispatch)
        return;
    ComPtr<IWebBrowser2> browser;
    if (FAILED(browserDispatch->QueryInterface(IID_PPV_ARGS(&browser))) || !browser)
        return;
    ComPtr<IDispatch> document;
    if (FAILED(browser->get_Document(&document)) || !document)
        return;
    ComPtr<ICustomDoc> custom;
    if (FAILED(document.As(&custom)) || !custom)
        return;
    custom->SetUIHandler(static_cast<IDocHostUIHandler*>(this));
}

STDMETHODIMP CWebUIController::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info)
        return S_OK;
    if (!bShow3DBorder)
        info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER;
    if (!bShowScrollBars)
        info->dwFlags |= DOCHOSTUIFLAG_SCROLL_NO;
    return S_OK;
}
