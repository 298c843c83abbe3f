// The connection point of one event dispinterface: sinks, cookies and firing.
#include "platform/EventConnectionPoint_win.h"

#include <olectl.h>

#include <utility>

STDMETHODIMP EventConnectionPoint::QueryInterface(REFIID iid, void** ppv)
{
    return ComBoundary([&] {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
            *ppv = static_cast<IConnectionPoint*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    });
}

STDMETHODIMP EventConnectionPoint::GetConnectionInterface(IID* iid)
{
    return ComBoundary([&] {
        if (!iid)
            return E_POINTER;
        *iid = events_;
        return S_OK;
    });
}

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    return ComBoundary([&] {
        return owner_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container));
    });
}

STDMETHODIMP EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    return ComBoundary([&] {
        if (!sink || !cookie)
            return E_POINTER;
        ComPtr<IDispatch> dispatch;
        if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(dispatch.GetAddressOf()))) &&
            FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.GetAddressOf()))))
            return CONNECT_E_CANNOTCONNECT;
        sinks_.push_back({lastCookie_ + 1, std::move(dispatch)});
        *cookie = ++lastCookie_;
        return S_OK;
    });
}

STDMETHODIMP EventConnectionPoint::Unadvise(DWORD cookie)
{
    return ComBoundary([&] {
        for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
            if (it->cookie == cookie) {
                // Out of the list before the sink hears of it.
                const ComPtr<IDispatch> gone = std::move(it->sink);
                sinks_.erase(it);
                return S_OK;
            }
        }
        return CONNECT_E_NOCONNECTION;
    });
}

STDMETHODIMP EventConnectionPoint::EnumConnections(IEnumConnections** connections)
{
    return ComBoundary([&] {
        if (connections)
            *connections = nullptr;
        return E_NOTIMPL;
    });
}

HRESULT EventConnectionPoint::Find(REFIID iid, IConnectionPoint** point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (!IsEqualIID(iid, events_))
        return CONNECT_E_NOCONNECTION;
    *point = this;
    AddRef();
    return S_OK;
}

void EventConnectionPoint::Fire(DISPID id, DISPPARAMS& params)
{
    // A sink may unadvise from inside the call: work on a copy.
    std::vector<ComPtr<IDispatch>> sinks;
    sinks.reserve(sinks_.size());
    for (const Sink& s : sinks_)
        sinks.push_back(s.sink);
    for (ComPtr<IDispatch>& sink : sinks) {
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        sink.Reset();
    }
}

void EventConnectionPoint::Fire(DISPID id, const std::vector<std::wstring>& args)
{
    std::vector<VARIANT> vars(args.size());
    // The texts are freed on every way out.
    struct Clear {
        std::vector<VARIANT>& vars;
        ~Clear()
        {
            for (VARIANT& v : vars)
                VariantClear(&v);
        }
    } clear{vars};
    for (size_t i = 0; i < args.size(); ++i) {
        VARIANT& v = vars[args.size() - 1 - i];  // the last argument comes first
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(args[i].data(), static_cast<UINT>(args[i].size()));
    }
    DISPPARAMS params{vars.data(), nullptr, static_cast<UINT>(vars.size()), 0};
    Fire(id, params);
}

void EventConnectionPoint::DisconnectAll()
{
    // Out of the list before any sink hears of it.
    const std::vector<Sink> gone = std::move(sinks_);
    sinks_.clear();
}
