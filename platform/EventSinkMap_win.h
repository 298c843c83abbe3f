#pragma once
// A dialog's event-sink map: the events of its ActiveX controls, keyed by
// control id and DISPID, each going to a typed handler. The arguments arrive
// last to first in DISPPARAMS; a handler takes them first to last, each as
// the type the event gives it:
//   IDispatch*      a VT_DISPATCH (or a reference to one)
//   IDispatch**     a VT_BYREF|VT_DISPATCH
//   VARIANT*        a VT_BYREF|VT_VARIANT, or the argument itself
//   VARIANT_BOOL*   a VT_BYREF|VT_BOOL
//   long            a VT_I4
// An event whose arguments do not fit the handler is not handled.
//
//   const EventSinkMap* CWebWnd::GetEventSinkMap() const
//   {
//       static const EventSinkEntry entries[] = {
//           OnEvent<&CWebWnd::OnBeforeNavigate2>(1000, 250),
//       };
//       static const EventSinkMap map{CDialog::GetEventSinkMap(), entries};
//       return &map;
//   }
#include <windows.h>
#include <oaidl.h>

#include <span>
#include <tuple>
#include <utility>

class CDialog;

struct EventSinkEntry {
    UINT controlId;
    DISPID dispid;
    bool (*invoke)(CDialog& dialog, DISPPARAMS& params);
};

struct EventSinkMap {
    const EventSinkMap* base;
    std::span<const EventSinkEntry> entries;
};

namespace eventsink {

template <class T>
struct Arg;

template <>
struct Arg<IDispatch*> {
    static bool From(VARIANTARG& v, IDispatch*& out)
    {
        if (v.vt == VT_DISPATCH) {
            out = v.pdispVal;
            return true;
        }
        if (v.vt == (VT_BYREF | VT_DISPATCH) && v.ppdispVal) {
            out = *v.ppdispVal;
            return true;
        }
        return false;
    }
};

template <>
struct Arg<IDispatch**> {
    static bool From(VARIANTARG& v, IDispatch**& out)
    {
        out = v.ppdispVal;
        return v.vt == (VT_BYREF | VT_DISPATCH) && out;
    }
};

template <>
struct Arg<VARIANT*> {
    static bool From(VARIANTARG& v, VARIANT*& out)
    {
        if (v.vt == (VT_BYREF | VT_VARIANT)) {
            out = v.pvarVal;
            return out != nullptr;
        }
        out = &v;
        return true;
    }
};

template <>
struct Arg<VARIANT_BOOL*> {
    static bool From(VARIANTARG& v, VARIANT_BOOL*& out)
    {
        out = v.pboolVal;
        return v.vt == (VT_BYREF | VT_BOOL) && out;
    }
};

template <>
struct Arg<long> {
    static bool From(VARIANTARG& v, long& out)
    {
        if (v.vt != VT_I4)
            return false;
        out = v.lVal;
        return true;
    }
};

template <class Class, class... A, size_t... I>
bool Call(Class& target, void (Class::*handler)(A...), DISPPARAMS& params, std::index_sequence<I...>)
{
    if (params.cArgs != sizeof...(A) || (sizeof...(A) > 0 && !params.rgvarg))
        return false;
    std::tuple<A...> values{};
    const UINT last = params.cArgs - 1;
    if (!(Arg<A>::From(params.rgvarg[last - I], std::get<I>(values)) && ...))
        return false;
    (target.*handler)(std::get<I>(values)...);
    return true;
}

template <auto Handler>
struct Thunk;

template <class Class, class... A, void (Class::*Handler)(A...)>
struct Thunk<Handler> {
    static bool Invoke(CDialog& dialog, DISPPARAMS& params)
    {
        return Call(static_cast<Class&>(dialog), Handler, params, std::index_sequence_for<A...>{});
    }
};

}  // namespace eventsink

template <auto Handler>
constexpr EventSinkEntry OnEvent(UINT controlId, DISPID dispid)
{
    return EventSinkEntry{controlId, dispid, &eventsink::Thunk<Handler>::Invoke};
}
