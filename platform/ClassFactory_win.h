#pragma once
// The class object of an in-process class the program registers itself
// (CoRegisterClassObject): a static object, never freed, that makes
// instances with Create (iid, ppv) and refuses aggregation.
#include <windows.h>
#include <unknwn.h>

#include "platform/Com_win.h"

template <HRESULT (*Create)(REFIID iid, void** ppv)>
class StaticClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        return ComBoundary([&] {
            if (!ppv)
                return E_POINTER;
            if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
                *ppv = static_cast<IClassFactory*>(this);
                return S_OK;
            }
            *ppv = nullptr;
            return E_NOINTERFACE;
        });
    }
    // The counts do not govern a static object's life.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override
    {
        return ComBoundary([&] {
            if (!ppv)
                return E_POINTER;
            *ppv = nullptr;
            if (outer)
                return CLASS_E_NOAGGREGATION;
            return Create(iid, ppv);
        });
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

// A class object registered for this process under a class id, at most once
// at a time; Revoke undoes it. For class objects that outlive it, as the
// static ones above do.
class ProcessClassRegistration {
public:
    HRESULT Register(REFCLSID clsid, IClassFactory* factory)
    {
        if (cookie_)
            return S_OK;
        return CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    }
    void Revoke()
    {
        if (cookie_)
            CoRevokeClassObject(cookie_);
        cookie_ = 0;
    }

private:
    DWORD cookie_ = 0;
};
