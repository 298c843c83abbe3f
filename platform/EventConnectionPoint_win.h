#pragma once
// The connection point of a control that fires one event dispinterface. It is
// a part object of the control: its reference count is the control's, and
// its container is whatever the control answers for IConnectionPointContainer.
// Any number of sinks, cookies from 1.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "platform/Com_win.h"

class EventConnectionPoint final : public IConnectionPoint {
public:
    // owner: the control's identity, which outlives this part; events: the
    // dispinterface sinks are asked for.
    EventConnectionPoint(IUnknown* owner, REFIID events) : owner_(owner), events_(events) {}
    EventConnectionPoint(const EventConnectionPoint&) = delete;
    EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return owner_->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return owner_->Release(); }

    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

    // The container's FindConnectionPoint for a control with only this point.
    HRESULT Find(REFIID iid, IConnectionPoint** point);

    // Calls every sink with the arguments as they are.
    void Fire(DISPID id, DISPPARAMS& params);
    // Calls every sink with texts, given first to last.
    void Fire(DISPID id, const std::vector<std::wstring>& args);

    void DisconnectAll();

private:
    struct Sink {
        DWORD cookie;
        ComPtr<IDispatch> sink;
    };

    IUnknown* owner_;
    const IID events_;
    std::vector<Sink> sinks_;
    DWORD lastCookie_ = 0;
};
