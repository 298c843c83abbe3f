#include "browser/ImpIDispatch_win.h"

#include <cstring>
#include <string>

#include "browser/GameWindowRunner.h"
#include "platform/Com_win.h"
#include "platform/Framework_win.h"
#include "platform/Text_win.h"
#include "resources/ResourceIds.h"

namespace {

CImpIDispatch* g_bridge = nullptr;

struct Name {
    const char* text;
    DISPID id;
};
constexpr Name kNames[] = {
    {"BrowserEx", CImpIDispatch::kBrowserEx},
    {"fnClose", CImpIDispatch::kClose},
    {"fnMin", CImpIDispatch::kMin},
    {"fnOpenNewWindow", CImpIDispatch::kOpenNewWindow},
};

void SetTrue(VARIANT* result)
{
    VariantInit(result);
    result->vt = VT_BOOL;
    result->boolVal = 1;  // pages have always seen 1 here, not VARIANT_TRUE
}

}  // namespace

void SetPageBridge(CImpIDispatch* bridge) { g_bridge = bridge; }
CImpIDispatch* PageBridge() { return g_bridge; }

STDMETHODIMP CImpIDispatch::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IDispatch)) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CImpIDispatch::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&nRefCount)); }
STDMETHODIMP_(ULONG) CImpIDispatch::Release() { return static_cast<ULONG>(InterlockedDecrement(&nRefCount)); }

STDMETHODIMP CImpIDispatch::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
STDMETHODIMP CImpIDispatch::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

STDMETHODIMP CImpIDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    return ComBoundary([&]() -> HRESULT {
        if (count && (!names || !ids))
            return E_POINTER;
        HRESULT hr = S_OK;
        // Every name is looked up, also after a miss.
        for (UINT i = 0; i < count; ++i) {
            const std::string name = names[i] ? WideToAnsi(names[i]) : std::string();
            ids[i] = DISPID_UNKNOWN;
            for (const Name& known : kNames) {
                if (name == known.text)
                    ids[i] = known.id;
            }
            if (ids[i] == DISPID_UNKNOWN)
                hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    });
}

STDMETHODIMP CImpIDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*)
{
    return ComBoundary([&]() -> HRESULT {
        if (id < kBrowserEx || id > kOpenNewWindow)
            return S_OK;
        if ((flags & DISPATCH_PROPERTYGET) && result)
            SetTrue(result);
        if (!(flags & DISPATCH_METHOD))
            return S_OK;
        switch (id) {
        case kBrowserEx:
            if (result)
                SetTrue(result);
            break;
        case kClose:
            if (pTargetWnd && pTargetWnd->m_hWnd)
                ::PostMessageW(pTargetWnd->m_hWnd, WM_CLOSE, 0, 0);
            break;
        case kMin:
            if (pTargetWnd && pTargetWnd->m_hWnd)
                ::ShowWindow(pTargetWnd->m_hWnd, SW_SHOWMINIMIZED);
            break;
        case kOpenNewWindow:
            OpenNewWindow(params);
            break;
        default:
            break;
        }
        return S_OK;
    });
}

void CImpIDispatch::OpenNewWindow(DISPPARAMS* params)
{
    // Without a page address there is no game window to open.
    if (!params || params->cArgs < 1 || !params->rgvarg)
        return;
    const VARIANT& arg = params->rgvarg[params->cArgs - 1];
    const BSTR text = arg.vt == VT_BSTR ? arg.bstrVal
                      : (arg.vt == (VT_BYREF | VT_VARIANT) && arg.pvarVal && arg.pvarVal->vt == VT_BSTR)
                          ? arg.pvarVal->bstrVal
                          : nullptr;
    if (!text)
        return;
    const std::string url = WideToAnsi(std::wstring_view(text, SysStringLen(text)));
    // The target may go while the game window runs (its page can close it).
    CWnd::BoundCheck target(pTargetWnd);
    if (target)
        ::ShowWindow(pTargetWnd->m_hWnd, SW_SHOWMINIMIZED);
    RunGameWindow(url);
    if (target && pTargetWnd && pTargetWnd->m_hWnd) {
        ::ShowWindow(pTargetWnd->m_hWnd, SW_SHOWNORMAL);
        ::SendMessageW(pTargetWnd->m_hWnd, WM_NEWWINDOW_CLOSED, 0, 0);
    }
}
