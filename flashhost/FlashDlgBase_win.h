#pragma once
// The movie-specific part of the host: the event sink, the control's
// configuration and loading the movie embedded in the executable.
#include <string>

#include "flashhost/OleBaseDlg_win.h"
#include "platform/Com_win.h"
#include "platform/player/MovieControl_win.h"

class CFlashDlgBase : public TOleBaseDlg<IShockwaveFlash>, public _IShockwaveFlashEvents {
public:
    CFlashDlgBase() = default;
    ~CFlashDlgBase() override = default;

    // IUnknown and IDispatch of the event sink, all one object.
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override { return TOleBaseDlg::QueryInterface(iid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return TOleBaseDlg::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return TOleBaseDlg::Release(); }
    // The event group is virtual, so a derived host's handler runs inside the boundary too.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        return ComBoundary([&] { return EventGetTypeInfoCount(count); });
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override
    {
        return ComBoundary([&] { return EventGetTypeInfo(index, lcid, info); });
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        return ComBoundary([&] { return EventGetIDsOfNames(iid, names, count, lcid, ids); });
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) override
    {
        return ComBoundary([&] { return DispatchEvent(id, iid, lcid, flags, params, result, excep, argErr); });
    }

    BOOL ConfigureControl() override;
    BOOL LoadContent() override;
    HRESULT DispatchEvent(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO* excep, UINT* argErr) override;

    // The control's events. The texts are the event's own, copied.
    virtual HRESULT OnReadyStateChange(long) { return S_OK; }
    virtual HRESULT OnProgress(long) { return S_OK; }
    virtual HRESULT OnFSCommand(const std::wstring& command, const std::wstring& args);
    virtual HRESULT OnFlashCall(const std::wstring&) { return S_OK; }

protected:
    void* QueryExtraInterface(REFIID iid) override;
};
