#pragma once
// window.external of every hosted page: a flag a page tests to know it runs
// inside the launcher, and three commands on the launcher's window. One
// object for the process; its count never frees it.
#include <windows.h>
#include <oaidl.h>

class CWnd;

class CImpIDispatch final : public IDispatch {
public:
    enum : DISPID { kBrowserEx = 1, kClose = 2, kMin = 3, kOpenNewWindow = 4 };

    CImpIDispatch() = default;
    CImpIDispatch(const CImpIDispatch&) = delete;
    CImpIDispatch& operator=(const CImpIDispatch&) = delete;

    // IUnknown: only IDispatch is handed out; even IUnknown is refused (the
    // page engine asks for IDispatch).
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    LONG nRefCount = 0;
    // The launcher dialog while it exists: the window the commands act on.
    CWnd* pTargetWnd = nullptr;

private:
    void OpenNewWindow(DISPPARAMS* params);
};

// The process's bridge, for the sites that hand it to pages; set once at
// start-up, before any browser exists.
void SetPageBridge(CImpIDispatch* bridge);
CImpIDispatch* PageBridge();
