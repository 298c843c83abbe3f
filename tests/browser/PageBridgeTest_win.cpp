// window.external as pages call it, and the unconnected UI controller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/GameWindowRunner.h"
#include "browser/ImpIDispatch_win.h"
#include "browser/WebUIController_win.h"
#include "platform/Framework_win.h"
#include "resources/ResourceIds.h"
#include "tests/support/Win32TestSupport_win.h"

namespace {

const IID kIidShowUI = __uuidof(IDocHostShowUI);

// A top-level window standing for the launcher: keeps the messages the
// bridge sends it.
class Target : public CWnd {
public:
    Target()
    {
        SubclassWindow(CreateWindowExW(0, L"STATIC", L"target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                                       nullptr, nullptr, nullptr, nullptr));
    }
    ~Target() override { DestroyWindow(); }
    std::vector<UINT> seen;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CLOSE || message == WM_NEWWINDOW_CLOSED) {
            seen.push_back(message);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

HRESULT Ids(CImpIDispatch& bridge, std::vector<const wchar_t*> names, std::vector<DISPID>& ids)
{
    ids.assign(names.size(), 12345);
    return bridge.GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(names.data()), static_cast<UINT>(names.size()),
                                LOCALE_USER_DEFAULT, ids.data());
}

HRESULT Call(CImpIDispatch& bridge, DISPID id, WORD flags, VARIANT* result, std::vector<VARIANT> args = {})
{
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    return bridge.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

// The game window as the bridge's runner sees it: what it was opened on and
// how the launcher looked meanwhile.
struct RunnerLog {
    std::vector<std::string> urls;
    bool targetIconicWhileRunning = false;
    HWND target = nullptr;
    void (*during)() = nullptr;
};
RunnerLog g_runner;

void RecordingRunner(const std::string& url)
{
    g_runner.urls.push_back(url);
    g_runner.targetIconicWhileRunning = g_runner.target && IsIconic(g_runner.target);
    if (g_runner.during)
        g_runner.during();
}

class PageBridge : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_runner = RunnerLog{};
        g_runner.target = target.m_hWnd;
        SetGameWindowRunner(&RecordingRunner);
    }
    void TearDown() override { SetGameWindowRunner(nullptr); }

    CImpIDispatch bridge;
    Target target;
};

TEST_F(PageBridge, NamesAreLookedUpOneByOneAndCaseSensitively)
{
    struct Case {
        std::vector<const wchar_t*> names;
        std::vector<DISPID> ids;
        HRESULT hr;
    };
    const Case cases[] = {
        {{L"fnMin", L"notThere", L"fnClose"}, {3, DISPID_UNKNOWN, 2}, DISP_E_UNKNOWNNAME},
        {{L"fnclose"}, {DISPID_UNKNOWN}, DISP_E_UNKNOWNNAME},
        {{L"BrowserEx", L"fnOpenNewWindow"}, {1, 4}, S_OK},
        {{}, {}, S_OK},
    };
    for (const Case& c : cases) {
        std::vector<DISPID> ids;
        EXPECT_EQ(Ids(bridge, c.names, ids), c.hr);
        EXPECT_EQ(ids, c.ids);
    }
}

TEST_F(PageBridge, BrowserExIsABooleanOfValueOneAndOnlyIDispatchIsHandedOut)
{
    for (WORD flags : {WORD(DISPATCH_PROPERTYGET), WORD(DISPATCH_METHOD), WORD(DISPATCH_METHOD | DISPATCH_PROPERTYGET)}) {
        VARIANT result;
        result.vt = VT_I4;
        result.lVal = 77;
        EXPECT_EQ(Call(bridge, 1, flags, &result), S_OK);
        EXPECT_EQ(result.vt, VT_BOOL);
        EXPECT_EQ(result.boolVal, 1);
    }
    // An unknown DISPID is accepted and changes nothing.
    VARIANT untouched;
    VariantInit(&untouched);
    EXPECT_EQ(Call(bridge, 7, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &untouched), S_OK);
    EXPECT_EQ(untouched.vt, VT_EMPTY);

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(bridge.QueryInterface(IID_IUnknown, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    ASSERT_EQ(bridge.QueryInterface(IID_IDispatch, &out), S_OK);
    EXPECT_EQ(out, static_cast<IDispatch*>(&bridge));
    // The count only counts: the object lives on at zero.
    EXPECT_EQ(bridge.Release(), 0u);
    EXPECT_EQ(bridge.AddRef(), 1u);
}

TEST_F(PageBridge, CloseAndMinimiseActOnTheTargetOnlyWhenThereIsOne)
{
    EXPECT_EQ(Call(bridge, 3, DISPATCH_METHOD, nullptr), S_OK);
    EXPECT_EQ(Call(bridge, 2, DISPATCH_METHOD, nullptr), S_OK);
    PumpUntil([] { return false; }, 100);
    EXPECT_FALSE(IsIconic(target.m_hWnd));
    EXPECT_TRUE(target.seen.empty());

    bridge.pTargetWnd = &target;
    EXPECT_EQ(Call(bridge, 3, DISPATCH_METHOD, nullptr), S_OK);
    EXPECT_TRUE(IsIconic(target.m_hWnd));
    EXPECT_EQ(Call(bridge, 2, DISPATCH_METHOD, nullptr), S_OK);
    EXPECT_TRUE(target.seen.empty());  // posted, not sent
    ASSERT_TRUE(PumpUntil([&] { return !target.seen.empty(); }));
    EXPECT_EQ(target.seen, std::vector<UINT>{WM_CLOSE});
}

VARIANT Text(const wchar_t* text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

TEST_F(PageBridge, OpenNewWindowMinimisesRunsTheGameWindowThenRestoresAndNotifies)
{
    bridge.pTargetWnd = &target;
    VARIANT url = Text(L"http://127.0.0.1/games/tlvx/?\u6e38\u620f=1");
    EXPECT_EQ(Call(bridge, 4, DISPATCH_METHOD, nullptr, {url}), S_OK);
    VariantClear(&url);
    // The URL reaches the game window in the ANSI code page (936 here).
    ASSERT_EQ(g_runner.urls, std::vector<std::string>{"http://127.0.0.1/games/tlvx/?\xd3\xce\xcf\xb7=1"});
    EXPECT_TRUE(g_runner.targetIconicWhileRunning);
    EXPECT_FALSE(IsIconic(target.m_hWnd));
    EXPECT_TRUE(IsWindowVisible(target.m_hWnd));
    EXPECT_EQ(target.seen, std::vector<UINT>{WM_NEWWINDOW_CLOSED});
}

TEST_F(PageBridge, OpenNewWindowWithoutAnAddressDoesNothingAndWithoutATargetOnlyOpens)
{
    bridge.pTargetWnd = &target;
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I4;
    EXPECT_EQ(Call(bridge, 4, DISPATCH_METHOD, nullptr), S_OK);
    EXPECT_EQ(Call(bridge, 4, DISPATCH_METHOD, nullptr, {number}), S_OK);
    EXPECT_TRUE(g_runner.urls.empty());
    EXPECT_TRUE(target.seen.empty());
    EXPECT_FALSE(IsIconic(target.m_hWnd));

    bridge.pTargetWnd = nullptr;
    VARIANT url = Text(L"http://127.0.0.1/g");
    EXPECT_EQ(Call(bridge, 4, DISPATCH_METHOD, nullptr, {url}), S_OK);
    VariantClear(&url);
    EXPECT_EQ(g_runner.urls, std::vector<std::string>{"http://127.0.0.1/g"});
    EXPECT_TRUE(target.seen.empty());
}

// A page of the game window closes the launcher: the launcher's modal run,
// ended from inside the game window's, ends after it, and no window of
// either is left behind.
CImpIDispatch* g_bridge = nullptr;
CDialog* g_game = nullptr;
bool g_gameWasRunning = false;

void CALLBACK CloseLauncherThenGame(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    g_gameWasRunning = g_game->m_hWnd && g_game->InModalLoop();
    Call(*g_bridge, 2, DISPATCH_METHOD, nullptr);
    PostMessageW(g_game->m_hWnd, WM_COMMAND, IDCANCEL, 0);
}

void RunNestedGameWindow()
{
    CDialog game(IDD_BOSS);
    g_game = &game;
    SetTimer(nullptr, 0, 100, &CloseLauncherThenGame);
    game.DoModal();
    g_game = nullptr;
}

class Launcher : public CDialog {
public:
    Launcher() : CDialog(IDD_UPDATE) {}
    std::vector<UINT> seen;

protected:
    // As the real launcher: an OK command (a stray Enter) never ends it.
    void OnOK() override {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NEWWINDOW_CLOSED) {
            seen.push_back(message);
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

void CALLBACK OpenGameFromPage(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    VARIANT url = Text(L"http://127.0.0.1/game");
    Call(*g_bridge, 4, DISPATCH_METHOD, nullptr, {url});
    VariantClear(&url);
}

BOOL CALLBACK CountDialogs(HWND hwnd, LPARAM count)
{
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (std::wstring(cls) == L"#32770")
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST_F(PageBridge, ALauncherClosedFromInsideTheGameWindowEndsAfterItCleanly)
{
    g_bridge = &bridge;
    g_gameWasRunning = false;
    g_runner.during = &RunNestedGameWindow;
    Launcher launcher;
    bridge.pTargetWnd = &launcher;
    SetTimer(nullptr, 0, 50, &OpenGameFromPage);
    EXPECT_EQ(launcher.DoModal(), IDCANCEL);
    EXPECT_TRUE(g_gameWasRunning);
    EXPECT_EQ(g_runner.urls.size(), 1u);
    EXPECT_EQ(launcher.seen, std::vector<UINT>{WM_NEWWINDOW_CLOSED});
    EXPECT_EQ(launcher.m_hWnd, nullptr);
    int dialogs = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountDialogs, reinterpret_cast<LPARAM>(&dialogs));
    EXPECT_EQ(dialogs, 0);
    g_bridge = nullptr;
}

// The controller the game window owns but never connects.
TEST(WebUIController, GetHostInfoAddsOnlyTheFlagsItsOptionsTurnOff)
{
    struct Case {
        BOOL border, scrollBars;
        DWORD before, after;
    };
    const Case cases[] = {
        {FALSE, FALSE, 0, 0x0C},
        {FALSE, FALSE, 0x4, 0x0C},
        {TRUE, TRUE, 0x10, 0x10},
        {FALSE, TRUE, 0x8, 0xC},
        {TRUE, FALSE, 0x1, 0x9},
    };
    for (const Case& c : cases) {
        CWebUIController controller(c.border, c.scrollBars);
        DOCHOSTUIINFO info{};
        info.cbSize = 12345;
        info.dwFlags = c.before;
        EXPECT_EQ(controller.GetHostInfo(&info), S_OK);
        EXPECT_EQ(info.dwFlags, c.after);
        EXPECT_EQ(info.cbSize, 12345u);
    }
    CWebUIController controller;
    EXPECT_EQ(controller.GetHostInfo(nullptr), S_OK);
}

TEST(WebUIController, AnswersItsInterfacesAndRefusesMalformedEvents)
{
    auto* controller = new CWebUIController;
    controller->AddRef();
    struct Case {
        const IID* iid;
        bool found;
    };
    const Case cases[] = {{&DIID_DWebBrowserEvents2, true}, {&IID_IDispatch, true}, {&IID_IDocHostUIHandler, true},
                          {&IID_IUnknown, true}, {&kIidShowUI, false}};
    for (const Case& c : cases) {
        void* out = nullptr;
        EXPECT_EQ(controller->QueryInterface(*c.iid, &out) == S_OK, c.found);
        if (out)
            static_cast<IUnknown*>(out)->Release();
    }
    void* unknown = nullptr;
    void* handler = nullptr;
    controller->QueryInterface(IID_IUnknown, &unknown);
    controller->QueryInterface(IID_IDocHostUIHandler, &handler);
    EXPECT_EQ(unknown, handler);
    static_cast<IUnknown*>(unknown)->Release();
    static_cast<IUnknown*>(handler)->Release();

    EXPECT_EQ(controller->Invoke(252, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), E_INVALIDARG);
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    DISPPARAMS one{args, nullptr, 1, 0};
    EXPECT_EQ(controller->Invoke(252, IID_NULL, 0, DISPATCH_METHOD, &one, nullptr, nullptr, nullptr), E_INVALIDARG);
    DISPPARAMS notDispatch{args, nullptr, 2, 0};
    EXPECT_EQ(controller->Invoke(252, IID_NULL, 0, DISPATCH_METHOD, &notDispatch, nullptr, nullptr, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(controller->Invoke(259, IID_NULL, 0, DISPATCH_METHOD, &notDispatch, nullptr, nullptr, nullptr), S_OK);
    // A dispatch that is no browser ends the attach step quietly.
    CImpIDispatch notABrowser;
    args[1].vt = VT_DISPATCH;
    args[1].pdispVal = &notABrowser;
    EXPECT_EQ(controller->Invoke(252, IID_NULL, 0, DISPATCH_METHOD, &notDispatch, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(controller->Release(), 0u);
}

}  // namespace
