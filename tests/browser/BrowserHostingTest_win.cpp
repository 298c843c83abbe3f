// Browser controls hosted the program's way, with the recording stand-in
// registered for the browser's class: the control container, the host UI
// policy as a page meets it, the page window's rules and the game window's
// keys.
#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "browser/CustomControlSite_win.h"
#include "browser/GameWindowRunner.h"
#include "browser/ImpIDispatch_win.h"
#include "browser/WebWnd_win.h"
#include "gamewnd/NewWindowDlg_win.h"
#include "platform/EventSinkMap_win.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"
#include "tests/support/HostedBrowser_win.h"
#include "tests/support/RecordingDefaultBrowser_win.h"
#include "tests/support/RecordingBrowser_win.h"
#include "tests/support/TempDir.h"
#include "tests/support/Win32TestSupport_win.h"

namespace {

const IID kIidShowUI = __uuidof(IDocHostShowUI);

CImpIDispatch g_bridge;

const ::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new HostingEnvironment(&g_bridge));

RECT ChildRect(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Holds a key down through the system's input, so that the asynchronous key
// state says so, and lets it go at the end of the scope.
class HeldKey {
public:
    explicit HeldKey(BYTE vk) : vk_(vk) { keybd_event(vk_, 0, 0, 0); }
    ~HeldKey() { keybd_event(vk_, 0, KEYEVENTF_KEYUP, 0); }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;

private:
    BYTE vk_;
};

// ---------------------------------------------------------------------------
// The control container

// A site that counts its instances, made by a manager derived from the
// program's: it also shows the derived site's interfaces on top of the base's.
class CountingSite : public CCustomControlSite {
public:
    explicit CountingSite(COleControlContainer* container) : CCustomControlSite(container) { ++live; }
    ~CountingSite() override { --live; }
    static inline int live = 0;
};
class CountingManager : public CCustomOccManager {
public:
    COleControlSite* CreateSite(COleControlContainer* container) override { return new CountingSite(container); }
};

// A dialog with the page window's template and an event-sink map of its own.
class EventDialog : public CDialog {
public:
    EventDialog() : CDialog(IDD_WEBWND) {}
    CWebBrowser2 browser;
    std::vector<std::wstring> completed;
    int otherControl = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_WEB_BROWSER, browser); }
    const EventSinkMap* GetEventSinkMap() const override
    {
        static const EventSinkEntry entries[] = {
            OnEvent<&EventDialog::OnDocumentComplete>(IDC_WEB_BROWSER, CWebBrowser2::kDocumentComplete),
            OnEvent<&EventDialog::OnOther>(IDC_WEB_BROWSER + 1, CWebBrowser2::kNavigateComplete2),
        };
        static const EventSinkMap map{CDialog::GetEventSinkMap(), entries};
        return &map;
    }

private:
    void OnDocumentComplete(IDispatch* page, VARIANT* url)
    {
        if (page && url && url->vt == VT_BSTR)
            completed.push_back(url->bstrVal);
    }
    void OnOther(IDispatch*, VARIANT*) { ++otherControl; }
};

TEST(ControlContainer, TheTemplateControlIsActiveAtItsRectangleWithItsIdAndItsEventsMapped)
{
    EventDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_WEBWND, nullptr));
    RecordingBrowser* browser = RecordingBrowser::FromWindow(dlg.browser.m_hWnd);
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->InPlaceActive());
    EXPECT_EQ(GetParent(browser->Window()), dlg.m_hWnd);
    EXPECT_EQ(GetDlgCtrlID(browser->Window()), IDC_WEB_BROWSER);
    RECT expected{7, 7, 7 + 228, 7 + 117};
    MapDialogRect(dlg.m_hWnd, &expected);
    RECT actual = ChildRect(browser->Window());
    EXPECT_TRUE(EqualRect(&expected, &actual))
        << actual.left << "," << actual.top << "," << actual.right << "," << actual.bottom;

    // Events reach the typed handler of the control's id, and no other.
    browser->FireDocumentComplete(L"http://127.0.0.1/done");
    browser->FireNavigateComplete2(L"http://127.0.0.1/done");
    EXPECT_EQ(dlg.completed, std::vector<std::wstring>{L"http://127.0.0.1/done"});
    EXPECT_EQ(dlg.otherControl, 0);

    // The wrapper calls the control through its site.
    dlg.browser.Navigate("http://127.0.0.1/a?x=1", nullptr, nullptr, nullptr, nullptr);
    VARIANT url;
    VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = SysAllocString(L"http://127.0.0.1/b");
    VARIANT empty[4];
    for (VARIANT& v : empty)
        VariantInit(&v);
    dlg.browser.Navigate2(&url, &empty[0], &empty[1], &empty[2], &empty[3]);
    VariantClear(&url);
    dlg.browser.Refresh();
    EXPECT_TRUE(dlg.browser.GetDocument());
    EXPECT_EQ(browser->Calls(), (std::vector<std::wstring>{L"Navigate http://127.0.0.1/a?x=1",
                                                           L"Navigate2 http://127.0.0.1/b", L"Refresh", L"Document"}));
}

TEST(ControlContainer, EverySiteInterfaceSharesOneIdentityAndNothingOutlivesTheDialog)
{
    CountingManager manager;
    AfxEnableControlContainer(&manager);
    {
        EventDialog dlg;
        ASSERT_TRUE(dlg.Create(IDD_WEBWND, nullptr));
        RecordingBrowser* browser = RecordingBrowser::FromWindow(dlg.browser.m_hWnd);
        ASSERT_NE(browser, nullptr);
        EXPECT_EQ(CountingSite::live, 1);
        IOleClientSite* site = browser->ClientSite();
        ComPtr<IUnknown> identity;
        ASSERT_EQ(site->QueryInterface(IID_PPV_ARGS(&identity)), S_OK);
        for (const IID* iid : {&IID_IOleInPlaceSite, &IID_IOleControlSite, &IID_IOleInPlaceFrame, &IID_IDispatch,
                               &IID_IDocHostUIHandler, &kIidShowUI}) {
            ComPtr<IUnknown> part;
            ASSERT_EQ(site->QueryInterface(*iid, reinterpret_cast<void**>(part.GetAddressOf())), S_OK);
            ComPtr<IUnknown> back;
            ASSERT_EQ(part->QueryInterface(IID_PPV_ARGS(&back)), S_OK);
            EXPECT_EQ(back.Get(), identity.Get());
        }
        // The page holds the site's interfaces and window.external.
        browser->StartDocument();
        EXPECT_TRUE(browser->External());
        dlg.DestroyWindow();
        EXPECT_EQ(dlg.browser.m_hWnd, nullptr);
        EXPECT_EQ(dlg.browser.GetControlSite(), nullptr);
        EXPECT_EQ(dlg.browser.InvokeHelper(CWebBrowser2::kRefresh, DISPATCH_METHOD, nullptr), E_FAIL);
        identity.Reset();
    }
    static CCustomOccManager programManager;
    AfxEnableControlContainer(&programManager);
    EXPECT_EQ(RecordingBrowser::LiveCount(), 0);
    EXPECT_EQ(CountingSite::live, 0);
}

// ---------------------------------------------------------------------------
// The host UI policy, in both browsers of the program

class HostUi : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        if (GetParam() == IDD_WEBWND) {
            ASSERT_TRUE(page.Create(IDD_WEBWND, nullptr));
            browserWindow = page.m_browser.m_hWnd;
        } else {
            game.m_strURL = "http://127.0.0.1/games/tlvx/";
            ASSERT_TRUE(game.Create(IDD_NEWWINDOW, nullptr));
            browserWindow = game.m_browser.m_hWnd;
        }
        browser = RecordingBrowser::FromWindow(browserWindow);
        ASSERT_NE(browser, nullptr);
        browser->StartDocument();
    }
    HRESULT HostKey(UINT message, WPARAM key)
    {
        ComPtr<IDocHostUIHandler> handler;
        browser->ClientSite()->QueryInterface(IID_PPV_ARGS(&handler));
        MSG msg{browserWindow, message, key, 0, 0, {}};
        return handler->TranslateAccelerator(&msg, nullptr, 0);
    }

    CWebWnd page;
    CNewWindowDlg game;
    HWND browserWindow = nullptr;
    RecordingBrowser* browser = nullptr;
};

TEST_P(HostUi, NoBorderNoScrollBarsNoMenuNoMessageBoxAndTheOneBridge)
{
    EXPECT_TRUE(browser->HasUIHandler());
    EXPECT_TRUE(browser->HasShowUI());
    EXPECT_EQ(browser->HostInfoFlags(), 0x0Cu);
    EXPECT_FALSE(browser->RightClick(POINT{10, 10}));
    EXPECT_FALSE(browser->Alert(L"hello"));
    ComPtr<IDispatch> external = browser->External();
    EXPECT_EQ(external.Get(), static_cast<IDispatch*>(&g_bridge));
}

TEST_P(HostUi, F5HeldSwallowsKeysAndBackspaceIsKeptFromHistoryButNotFromTextFields)
{
    for (UINT message : {WM_KEYDOWN, WM_CHAR, WM_KEYUP})
        EXPECT_EQ(HostKey(message, VK_BACK), S_OK) << message;
    EXPECT_EQ(HostKey(WM_KEYDOWN, 'A'), S_FALSE);
    browser->SetFocusedElement(L"input", L"text", false);
    EXPECT_EQ(HostKey(WM_KEYDOWN, VK_BACK), S_FALSE);
    EXPECT_EQ(HostKey(WM_CHAR, VK_BACK), S_FALSE);
    browser->SetFocusedElement(L"div", L"", true);
    EXPECT_EQ(HostKey(WM_KEYDOWN, VK_BACK), S_FALSE);
    browser->SetFocusedElement(L"input", L"checkbox", false);
    EXPECT_EQ(HostKey(WM_KEYDOWN, VK_BACK), S_OK);
    {
        HeldKey f5(VK_F5);
        ASSERT_TRUE(PumpUntil([] { return (GetAsyncKeyState(VK_F5) & 0x8000) != 0; }, 2000));
        EXPECT_EQ(HostKey(WM_KEYDOWN, VK_F5), S_OK);
        EXPECT_EQ(HostKey(WM_KEYDOWN, 'A'), S_OK);  // any key while F5 is held
        EXPECT_EQ(HostKey(WM_KEYUP, 'A'), S_FALSE);
    }
    ASSERT_TRUE(PumpUntil([] { return (GetAsyncKeyState(VK_F5) & 0x8000) == 0; }, 2000));
    EXPECT_EQ(HostKey(WM_KEYDOWN, VK_F5), S_FALSE);
}

// A player deletes a character in the page's text field with Backspace, and
// Backspace elsewhere never goes back in the page's history.
TEST_P(HostUi, BackspaceReachesAFocusedTextFieldAndNeverGoesBack)
{
    browser->SetFocusedElement(L"input", L"text", false);
    PostMessageW(browserWindow, WM_KEYDOWN, VK_BACK, 0);
    PostMessageW(browserWindow, WM_CHAR, VK_BACK, 0);
    EXPECT_TRUE(PumpFramework([&] { return Has(*browser, L"Key 8") && Has(*browser, L"Char 8"); }));
    browser->ClearCalls();
    browser->ClearFocusedElement();
    PostMessageW(browserWindow, WM_KEYDOWN, VK_BACK, 0);
    Settle();
    EXPECT_FALSE(Has(*browser, L"GoBack by accelerator"));
}

INSTANTIATE_TEST_SUITE_P(BothBrowsers, HostUi, ::testing::Values(IDD_WEBWND, IDD_NEWWINDOW),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == IDD_WEBWND ? std::string("PageWindow") : std::string("GameWindow");
                         });

// ---------------------------------------------------------------------------
// The page window

class FakeOwner : public IWebWndOwner {
public:
    void PauseFace() override { log.push_back("pause"); }
    void ResumeFace() override { log.push_back("resume"); }
    void ShowFace() override { log.push_back("show"); }
    void HideFace() override { log.push_back("hide"); }
    std::vector<std::string> log;
};

struct GameRun {
    std::string url;
    bool pageVisible = true;
    std::vector<std::string> ownerBefore;
};
std::vector<GameRun> g_runs;
CWebWnd* g_page = nullptr;
FakeOwner* g_owner = nullptr;

void RecordingRunner(const std::string& url)
{
    g_runs.push_back(GameRun{url, g_page && g_page->IsWindowVisible(), g_owner ? g_owner->log : std::vector<std::string>{}});
}

class PageWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_runs.clear();
        g_page = &page;
        g_owner = &owner;
        SetGameWindowRunner(&RecordingRunner);
        ASSERT_TRUE(page.Create(IDD_WEBWND, nullptr));
        page.SetOwnerDialog(&owner);
        page.SetWindowPos(nullptr, 100, 100, 545, 384, SWP_NOZORDER | SWP_SHOWWINDOW);
        browser = RecordingBrowser::FromWindow(page.m_browser.m_hWnd);
        ASSERT_NE(browser, nullptr);
    }
    void TearDown() override
    {
        SetGameWindowRunner(nullptr);
        g_page = nullptr;
        g_owner = nullptr;
    }

    CWebWnd page;
    FakeOwner owner;
    RecordingBrowser* browser = nullptr;
};

TEST_F(PageWindow, TheGameEntryOpensTheGameWindowWithTheTimeAndRestoresAllThree)
{
    const std::string entry = std::string(builtin::kStartUrl) + "&server=7";
    const long long before = static_cast<long long>(std::time(nullptr));
    EXPECT_TRUE(browser->FireBeforeNavigate2(std::wstring(entry.begin(), entry.end())));
    const long long after = static_cast<long long>(std::time(nullptr));
    ASSERT_EQ(g_runs.size(), 1u);
    const std::string& url = g_runs[0].url;
    ASSERT_EQ(url.rfind(entry + "&t=", 0), 0u) << url;
    const long long t = std::stoll(url.substr(entry.size() + 3));
    EXPECT_GE(t, before);
    EXPECT_LE(t, after);
    EXPECT_FALSE(g_runs[0].pageVisible);
    EXPECT_EQ(g_runs[0].ownerBefore, (std::vector<std::string>{"pause", "hide"}));
    EXPECT_EQ(owner.log, (std::vector<std::string>{"pause", "hide", "resume", "show"}));
    EXPECT_TRUE(page.IsWindowVisible());
}

TEST_F(PageWindow, PagesThatStayLoadHere)
{
    const std::string cases[] = {
        builtin::kLoginUrl,
        // A partner page wins over the entry URL it carries.
        std::string(builtin::kPassThroughUrl1) + "&back=" + builtin::kStartUrl,
        builtin::kPassThroughUrl2,
        // Case matters: this is not the entry page.
        std::string(builtin::kStartUrl).replace(std::string(builtin::kStartUrl).find("tlvx"), 4, "TLVX"),
    };
    for (const std::string& url : cases) {
        EXPECT_FALSE(browser->FireBeforeNavigate2(std::wstring(url.begin(), url.end()))) << url;
    }
    EXPECT_TRUE(g_runs.empty());
    EXPECT_FALSE(browser->FireNewWindow2());  // left to the control
}

TEST_F(PageWindow, ThePasswordPageGoesWholeToTheDefaultBrowser)
{
    RecordingDefaultBrowser defaultBrowser(URL_RECORDER_UNIX_PATH, L"-remote \"%1\"");
    ASSERT_TRUE(defaultBrowser.Ok());
    const std::string url = std::string(builtin::kPasswordRecoveryUrl) + "?from=launcher&lang=zh";
    EXPECT_TRUE(browser->FireBeforeNavigate2(std::wstring(url.begin(), url.end())));
    const std::vector<std::string> lines = defaultBrowser.WaitForUrls(60000);
    // Only the URL: the registered command's own arguments are dropped.
    EXPECT_EQ(lines, std::vector<std::string>{url});
    EXPECT_TRUE(g_runs.empty());
}

TEST_F(PageWindow, KeysAndTheRightButton)
{
    // F5 reloads through the page window. (Ctrl+F5 is not tried: Wine keeps
    // the modifier keys' state in step with the X server's keyboard, so an
    // injected Ctrl never shows in the asynchronous state.)
    PostMessageW(browser->Window(), WM_KEYDOWN, VK_F5, 0);
    EXPECT_TRUE(PumpFramework([&] { return Has(*browser, L"Refresh"); }));
    EXPECT_FALSE(Has(*browser, L"Key 116"));
    // Enter and Escape reach the page and leave the window as it is.
    PostMessageW(browser->Window(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(browser->Window(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpFramework([&] { return Has(*browser, L"Key 13") && Has(*browser, L"Key 27"); }));
    EXPECT_TRUE(IsWindow(page.m_hWnd));
    EXPECT_TRUE(page.IsWindowVisible());
    MSG right{browser->Window(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5), 0, {}};
    EXPECT_TRUE(page.PreTranslateMessage(&right));
}

TEST_F(PageWindow, TheBrowserOverhangsEveryEdgeByTwoPixels)
{
    for (SIZE size : {SIZE{545, 384}, SIZE{300, 200}}) {
        page.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        RECT client;
        page.GetClientRect(&client);
        RECT r = ChildRect(browser->Window());
        EXPECT_EQ(r.left, -2);
        EXPECT_EQ(r.top, -2);
        EXPECT_EQ(r.right, client.right + 2);
        EXPECT_EQ(r.bottom, client.bottom + 2);
    }
}

TEST_F(PageWindow, NavigateGoesToTheControl)
{
    page.Navigate(builtin::kLoginUrl);
    const std::string url = builtin::kLoginUrl;
    EXPECT_EQ(browser->Calls(), std::vector<std::wstring>{L"Navigate " + std::wstring(url.begin(), url.end())});
}

}  // namespace
