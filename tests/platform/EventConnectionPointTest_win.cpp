// The connection point a control fires one event dispinterface through:
// the answers a host relies on, and firing while a sink goes away.
#include <gtest/gtest.h>

#include <olectl.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/EventConnectionPoint_win.h"

namespace {

// {6A1B0E20-0000-4000-8000-00000000E0E1}
const IID kEvents = {0x6A1B0E20, 0x0000, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0xE1}};

// The control the point is part of: only its count matters here.
class Owner final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID, void** ppv) override
    {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    long refs = 0;
};

// A sink that answers the event interface, or only IDispatch, or neither.
class Sink final : public IDispatch {
public:
    enum class Answers { Events, DispatchOnly, Nothing };
    explicit Sink(Answers answers) : answers_(answers) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        const bool yes = IsEqualIID(iid, IID_IUnknown) ||
                         (answers_ != Answers::Nothing && IsEqualIID(iid, IID_IDispatch)) ||
                         (answers_ == Answers::Events && IsEqualIID(iid, kEvents));
        *ppv = yes ? static_cast<IDispatch*>(this) : nullptr;
        if (yes)
            AddRef();
        return yes ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        std::wstring call = std::to_wstring(id);
        for (UINT i = 0; i < params->cArgs; ++i)
            call += L"|" + std::wstring(params->rgvarg[i].bstrVal);
        calls.push_back(call);
        if (onCall)
            onCall();
        return S_OK;
    }

    long refs = 0;
    std::vector<std::wstring> calls;
    std::function<void()> onCall;

private:
    Answers answers_;
};

TEST(EventConnectionPoint, AdviseAnswersAndCookies)
{
    Owner owner;
    EventConnectionPoint point(&owner, kEvents);
    Sink events(Sink::Answers::Events), dispatchOnly(Sink::Answers::DispatchOnly), nothing(Sink::Answers::Nothing);
    DWORD first = 0, second = 0, none = 77;
    EXPECT_EQ(point.Advise(&events, &first), S_OK);
    EXPECT_EQ(point.Advise(&dispatchOnly, &second), S_OK);  // a plain IDispatch will do
    EXPECT_EQ(point.Advise(&nothing, &none), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 2u);
    EXPECT_EQ(point.Advise(nullptr, &none), E_POINTER);
    IID iid{};
    EXPECT_EQ(point.GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualIID(iid, kEvents));
    IConnectionPoint* found = nullptr;
    EXPECT_EQ(point.Find(kEvents, &found), S_OK);
    EXPECT_EQ(found, &point);
    found->Release();
    EXPECT_EQ(point.Find(IID_IDispatch, &found), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point.Unadvise(first), S_OK);
    EXPECT_EQ(point.Unadvise(first), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point.Unadvise(99), CONNECT_E_NOCONNECTION);
    point.DisconnectAll();
    EXPECT_EQ(events.refs, 0);  // every reference the point took is given back
    EXPECT_EQ(dispatchOnly.refs, 0);
    EXPECT_EQ(owner.refs, 0);
}

TEST(EventConnectionPoint, FiresTextsLastFirstAndSurvivesASinkLeavingMidCall)
{
    Owner owner;
    EventConnectionPoint point(&owner, kEvents);
    Sink a(Sink::Answers::Events), b(Sink::Answers::Events);
    DWORD cookieA = 0, cookieB = 0;
    ASSERT_EQ(point.Advise(&a, &cookieA), S_OK);
    ASSERT_EQ(point.Advise(&b, &cookieB), S_OK);
    a.onCall = [&] { point.Unadvise(cookieA); };  // the first sink leaves while it is called
    point.Fire(150, {L"weburl", L"http://x/"});
    EXPECT_EQ(a.calls, (std::vector<std::wstring>{L"150|http://x/|weburl"}));
    EXPECT_EQ(b.calls, (std::vector<std::wstring>{L"150|http://x/|weburl"}));
    point.Fire(150, {L"min", L""});
    EXPECT_EQ(a.calls.size(), 1u);
    EXPECT_EQ(b.calls.size(), 2u);
    point.DisconnectAll();
    EXPECT_EQ(a.refs, 0);
    EXPECT_EQ(b.refs, 0);
}

}  // namespace
