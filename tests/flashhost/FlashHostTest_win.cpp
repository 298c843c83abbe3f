// The windowless host's COM answers, its event dispatch and its start-up
// with the built-in player, in a program without a movie resource.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flashhost/FlashDlgBase_win.h"
#include "tests/support/OleEnvironment_win.h"
#include "tests/support/Win32TestSupport_win.h"

namespace {

constexpr SIZE kLauncherSize{1506, 867};

const ::testing::Environment* const g_ole = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

class RecordingHost : public CFlashDlgBase {
public:
    std::vector<std::pair<std::wstring, std::wstring>> commands;
    std::vector<std::wstring> calls;
    HRESULT OnFSCommand(const std::wstring& c, const std::wstring& a) override
    {
        commands.emplace_back(c, a);
        return S_OK;
    }
    HRESULT OnFlashCall(const std::wstring& r) override
    {
        calls.push_back(r);
        return S_OK;
    }
};

// A plain popup window of a known client size to host in.
class HostWindow {
public:
    HostWindow(int w, int h, DWORD exStyle = 0)
    {
        hwnd = CreateWindowExW(exStyle, L"STATIC", L"host", WS_POPUP, 0, 0, w, h, nullptr, nullptr, nullptr, nullptr);
    }
    ~HostWindow() { DestroyWindow(hwnd); }
    HWND hwnd;
};

TEST(HostInterfaces, QueryInterfaceTable)
{
    RecordingHost host;
    void* p = nullptr;
    for (REFIID iid : {IID_IOleClientSite, IID_IOleWindow, IID_IOleInPlaceUIWindow, IID_IDispatch, IID_IOleObject}) {
        EXPECT_EQ(host.QueryInterface(iid, &p), E_NOINTERFACE);
        EXPECT_EQ(p, nullptr);
    }
    EXPECT_EQ(host.nRefCount, 0);
    void* site = nullptr;
    void* siteEx = nullptr;
    void* windowless = nullptr;
    ASSERT_EQ(host.QueryInterface(IID_IOleInPlaceSite, &site), S_OK);
    ASSERT_EQ(host.QueryInterface(IID_IOleInPlaceSiteEx, &siteEx), S_OK);
    ASSERT_EQ(host.QueryInterface(IID_IOleInPlaceSiteWindowless, &windowless), S_OK);
    EXPECT_EQ(site, siteEx);
    EXPECT_EQ(site, windowless);
    EXPECT_EQ(site, static_cast<IOleInPlaceSiteWindowless*>(&host));
    void* unknown = nullptr;
    ASSERT_EQ(host.QueryInterface(IID_IUnknown, &unknown), S_OK);
    EXPECT_EQ(unknown, static_cast<IOleClientSite*>(&host));
    void* frame = nullptr;
    ASSERT_EQ(host.QueryInterface(IID_IOleInPlaceFrame, &frame), S_OK);
    EXPECT_EQ(frame, static_cast<IOleInPlaceFrame*>(&host));
    void* storage = nullptr;
    ASSERT_EQ(host.QueryInterface(IID_IStorage, &storage), S_OK);
    void* events = nullptr;
    ASSERT_EQ(host.QueryInterface(DIID__IShockwaveFlashEvents, &events), S_OK);
    EXPECT_EQ(events, static_cast<IDispatch*>(&host));
    EXPECT_EQ(host.nRefCount, 7);  // each success counted
}

TEST(HostInterfaces, ReferenceCountOnlyCounts)
{
    RecordingHost host;
    IStorage* storage = &host;
    EXPECT_EQ(storage->AddRef(), 1u);
    EXPECT_EQ(storage->Release(), 0u);
    IDispatch* sink = &host;
    EXPECT_EQ(sink->AddRef(), 1u);
    EXPECT_EQ(sink->Release(), 0u);
    EXPECT_EQ(host.GetCapture(), S_FALSE);  // still alive and answering
}

TEST(HostInterfaces, SiteResults)
{
    RecordingHost host;
    HostWindow window(300, 200);
    host.hHostWnd = window.hwnd;
    HWND got = nullptr;
    EXPECT_EQ(static_cast<IOleInPlaceFrame&>(host).GetWindow(&got), S_OK);
    EXPECT_EQ(got, window.hwnd);
    IOleContainer* container = reinterpret_cast<IOleContainer*>(1);
    EXPECT_EQ(host.GetContainer(&container), E_NOINTERFACE);
    EXPECT_EQ(container, nullptr);
    EXPECT_EQ(host.SaveObject(), E_NOTIMPL);
    EXPECT_EQ(host.ShowObject(), S_OK);
    EXPECT_EQ(host.OnInPlaceDeactivateEx(TRUE), S_FALSE);
    EXPECT_EQ(host.RequestUIActivate(), S_FALSE);
    BOOL noRedraw = TRUE;
    EXPECT_EQ(host.OnInPlaceActivateEx(&noRedraw, 0), S_OK);
    EXPECT_FALSE(noRedraw);
    HDC dc = reinterpret_cast<HDC>(1);
    EXPECT_EQ(host.GetDC(nullptr, 0, &dc), S_FALSE);
    EXPECT_EQ(host.ScrollRect(0, 0, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(host.SetClass(CLSID_NULL), S_OK);
    EXPECT_EQ(host.Commit(0), E_NOTIMPL);
    EXPECT_EQ(host.InsertMenus(nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(host.SetStatusText(L"x"), S_OK);
    UINT count = 5;
    EXPECT_EQ(static_cast<IDispatch&>(host).GetTypeInfoCount(&count), E_NOTIMPL);
}

TEST(HostInterfaces, WindowContextIsTheClientRectangle)
{
    RecordingHost host;
    HostWindow window(320, 240);
    host.hHostWnd = window.hwnd;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* doc = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = 1234;
    info.haccel = reinterpret_cast<HACCEL>(1);
    info.cAccelEntries = 9;
    ASSERT_EQ(host.GetWindowContext(&frame, &doc, &pos, &clip, &info), S_OK);
    EXPECT_EQ(frame, static_cast<IOleInPlaceFrame*>(&host));
    EXPECT_EQ(doc, nullptr);
    EXPECT_EQ(host.nRefCount, 0);  // the frame is handed out without a reference
    RECT client;
    GetClientRect(window.hwnd, &client);
    EXPECT_TRUE(EqualRect(&pos, &client));
    EXPECT_TRUE(EqualRect(&clip, &client));
    EXPECT_EQ(pos.right, 320);
    EXPECT_EQ(info.cb, 1234u);
    EXPECT_FALSE(info.fMDIApp);
    EXPECT_EQ(info.hwndFrame, window.hwnd);
    EXPECT_EQ(info.haccel, nullptr);
    EXPECT_EQ(info.cAccelEntries, 0u);
}

// Invokes the sink as a control does: arguments last first.
HRESULT Fire(IDispatch* sink, DISPID id, std::vector<VARIANT> argsLastFirst)
{
    DISPPARAMS params{argsLastFirst.data(), nullptr, static_cast<UINT>(argsLastFirst.size()), 0};
    return sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

VARIANT Bstr(const wchar_t* text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text ? SysAllocString(text) : nullptr;
    return v;
}

TEST(HostEvents, FsCommandArrivesCommandFirst)
{
    RecordingHost host;
    VARIANT args = Bstr(L""), command = Bstr(L"close");
    EXPECT_EQ(Fire(&host, 150, {args, command}), S_OK);
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].first, L"close");
    EXPECT_EQ(host.commands[0].second, L"");
    VariantClear(&args);
    VariantClear(&command);
}

TEST(HostEvents, NullTextsReadEmptyAndWrongShapesAreIgnored)
{
    RecordingHost host;
    VARIANT nullArgs = Bstr(nullptr), min = Bstr(L"min");
    EXPECT_EQ(Fire(&host, 150, {nullArgs, min}), S_OK);
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I4;
    number.lVal = 3;
    EXPECT_EQ(Fire(&host, 150, {number, min}), S_OK);  // not a text
    EXPECT_EQ(Fire(&host, 150, {min}), S_OK);          // one argument only
    EXPECT_EQ(Fire(&host, 150, {}), S_OK);
    DISPPARAMS none{};
    EXPECT_EQ(static_cast<IDispatch&>(host).Invoke(150, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr,
                                                   nullptr), S_OK);
    EXPECT_EQ(static_cast<IDispatch&>(host).Invoke(150, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr,
                                                   nullptr), S_OK);
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].first, L"min");
    EXPECT_EQ(host.commands[0].second, L"");
    VariantClear(&min);
}

TEST(HostEvents, FlashCallReachesItsHandlerAndOthersReachNone)
{
    RecordingHost host;
    VARIANT request = Bstr(L"<invoke name=\"x\"/>");
    EXPECT_EQ(Fire(&host, 197, {request}), S_OK);
    EXPECT_EQ(Fire(&host, DISPID_READYSTATECHANGE, {request}), S_OK);
    EXPECT_EQ(Fire(&host, 0x7A6, {request}), S_OK);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0], L"<invoke name=\"x\"/>");
    EXPECT_TRUE(host.commands.empty());
    VariantClear(&request);
}

TEST(HostCreate, WithoutAMovieResourceCreateSucceedsAndDrawsNothing)
{
    RecordingHost host;
    HostWindow window(100, 100);
    ASSERT_TRUE(host.Create(window.hwnd, CLSID_ShockwaveFlash, WS_EX_LAYERED, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
                            kLauncherSize));
    EXPECT_NE(host.pControl, nullptr);
    EXPECT_NE(host.pViewObjectEx, nullptr);
    EXPECT_NE(host.pInPlaceObjectWindowless, nullptr);
    EXPECT_NE(host.dwAdviseCookie, 0u);
    EXPECT_TRUE(host.bLayered);
    RECT r;
    GetWindowRect(window.hwnd, &r);
    EXPECT_EQ(r.left, -10000);
    EXPECT_EQ(r.right - r.left, 1506);
    EXPECT_EQ(r.bottom - r.top, 867);
    EXPECT_EQ(GetWindowLongW(window.hwnd, GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), LONG(WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX));
    // A frame with no movie: every pixel fully transparent.
    host.Draw(nullptr, nullptr, FALSE);
    ASSERT_NE(host.pBlackBits, nullptr);
    size_t opaque = 0;
    for (size_t i = 0; i < size_t(1506) * 867; ++i)
        opaque += host.pBlackBits[i * 4 + 3] != 0;
    EXPECT_EQ(opaque, 0u);
    EXPECT_TRUE(host.commands.empty());
}

TEST(HostCreate, AnUnknownClassFailsCleanly)
{
    RecordingHost host;
    HostWindow window(100, 100);
    const CLSID nothing = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_FALSE(host.Create(window.hwnd, nothing, WS_EX_LAYERED, WS_POPUP, kLauncherSize));
    EXPECT_EQ(host.pOleObject, nullptr);
    EXPECT_EQ(host.pControl, nullptr);
}

TEST(HostCreate, SurfacesAreRemadeWhenTheWindowMoves)
{
    RecordingHost host;
    HostWindow window(100, 100);
    ASSERT_TRUE(host.Create(window.hwnd, CLSID_ShockwaveFlash, WS_EX_LAYERED, WS_POPUP, kLauncherSize));
    host.Draw(nullptr, nullptr, FALSE);
    HBITMAP first = host.hBlackBitmap;
    host.Draw(nullptr, nullptr, FALSE);
    EXPECT_EQ(host.hBlackBitmap, first);  // a steady window allocates nothing
    SetWindowPos(window.hwnd, nullptr, -9000, -9000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    host.Draw(nullptr, nullptr, FALSE);
    EXPECT_EQ(host.rcLastWindow.left, -9000);
    EXPECT_EQ(host.rcLastWindow.right - host.rcLastWindow.left, 1506);
}

}  // namespace
