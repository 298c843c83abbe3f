// The launcher with its movie: start commands, the command set, layered
// drawing, input routing and the movie's buttons, on real windows.
#include <gtest/gtest.h>

#include "browser/CustomControlSite_win.h"
#include "launcher/TavrinDlg_win.h"
#include "resources/ResourceIds.h"
#include "tests/support/OleEnvironment_win.h"
#include "tests/support/RecordingBrowser_win.h"
#include "tests/support/Win32TestSupport_win.h"

namespace {

const ::testing::Environment* const g_ole = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

// The page window's browser is the recording stand-in, hosted the program's way.
class BrowserEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        registration_ = std::make_unique<RecordingBrowserRegistration>();
        ASSERT_EQ(registration_->Result(), S_OK);
        AfxEnableControlContainer(&manager_);
    }
    void TearDown() override
    {
        AfxDisableControlContainer();
        registration_.reset();
    }

private:
    CCustomOccManager manager_;
    std::unique_ptr<RecordingBrowserRegistration> registration_;
};
const ::testing::Environment* const g_browser = ::testing::AddGlobalTestEnvironment(new BrowserEnvironment);

// The last page the launcher asked its page window's browser for.
std::string LastNavigation(const CTavrinDlg& dlg)
{
    RecordingBrowser* browser = RecordingBrowser::FromWindow(dlg.m_webWnd.m_browser.m_hWnd);
    if (!browser)
        return "(no browser)";
    const std::wstring prefix = L"Navigate ";
    for (auto it = browser->Calls().rbegin(); it != browser->Calls().rend(); ++it) {
        if (it->rfind(prefix, 0) == 0)
            return std::string(it->begin() + static_cast<std::ptrdiff_t>(prefix.size()), it->end());
    }
    return std::string();
}

RECT WindowRectOf(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT PrimaryWorkArea()
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

class Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dlg.CDialog::Create(IDD_MORVANE_DIALOG, nullptr));
        // The movie's start commands come from the message loop.
        ASSERT_TRUE(PumpUntil([&] { return !dlg.m_rcWeb.IsEmpty(); }));
    }
    void TearDown() override
    {
        dlg.m_webWnd.DestroyWindow();
        dlg.DestroyWindow();
    }

    BOOL Pre(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        MSG msg{dlg.m_hWnd, message, wParam, lParam, 0, {}};
        return dlg.PreTranslateMessage(&msg);
    }
    LPARAM ClientPoint(int x, int y) { return MAKELPARAM(x, y); }
    uint8_t AlphaAt(int x, int y) const
    {
        return dlg.pBlackBits[(static_cast<size_t>(y) * 1506 + x) * 4 + 3];
    }
    uint32_t PixelAt(int x, int y) const
    {
        uint32_t p;
        memcpy(&p, dlg.pBlackBits + (static_cast<size_t>(y) * 1506 + x) * 4, 4);
        return p;
    }

    CTavrinDlg dlg;
};

TEST_F(Launcher, StartCommandsPlaceThePageAndCentreTheLauncher)
{
    EXPECT_EQ(dlg.m_rcWeb, (Rect{609, 292, 1154, 676}));
    EXPECT_TRUE(dlg.m_rcWeb2.IsEmpty());
    EXPECT_EQ(LastNavigation(dlg), builtin::kLoginUrl);
    RECT work = PrimaryWorkArea();
    RECT r = WindowRectOf(dlg.m_hWnd);
    EXPECT_EQ(r.right - r.left, 1506);
    // The middle of the work area minus half the launcher.
    EXPECT_EQ(r.left, (work.left + work.right) / 2 - 1506 / 2);
    EXPECT_EQ(r.top, (work.top + work.bottom) / 2 - 867 / 2);
    RECT page = WindowRectOf(dlg.m_webWnd.m_hWnd);
    EXPECT_EQ(page.left, r.left + 609);
    EXPECT_EQ(page.top, r.top + 292);
    EXPECT_EQ(page.right - page.left, 543);
    EXPECT_EQ(page.bottom - page.top, 382);
    EXPECT_TRUE(dlg.m_webWnd.IsWindowVisible());
    EXPECT_EQ(WindowText(dlg.m_hWnd), L"Morvane");
}

TEST_F(Launcher, MoveWebPlacesShowsAndFocusesThePage)
{
    dlg.m_webWnd.ShowWindow(SW_HIDE);
    for (const char* word : {"moveweb", "MOVEWEB"}) {
        EXPECT_EQ(dlg.OnFSCommand(word, "100,50,400,300"), 0);
        EXPECT_EQ(dlg.m_rcWeb, (Rect{100, 50, 500, 350}));
        POINT origin{100, 50};
        ClientToScreen(dlg.m_hWnd, &origin);
        RECT page = WindowRectOf(dlg.m_webWnd.m_hWnd);
        EXPECT_EQ(page.left, origin.x);
        EXPECT_EQ(page.top, origin.y);
        EXPECT_EQ(page.right - page.left, 398);
        EXPECT_EQ(page.bottom - page.top, 298);
        EXPECT_TRUE(dlg.m_webWnd.IsWindowVisible());
        // The page window passes the focus on to its browser.
        HWND focus = GetFocus();
        EXPECT_TRUE(focus == dlg.m_webWnd.m_hWnd || IsChild(dlg.m_webWnd.m_hWnd, focus)) << focus;
    }
    dlg.OnFSCommand("moveweb", "1,2,3,4,");
    EXPECT_EQ(dlg.m_rcWeb, (Rect{1, 2, 4, 6}));
    dlg.OnFSCommand("moveweb", "7,8,9");  // too few fields: ignored
    EXPECT_EQ(dlg.m_rcWeb, (Rect{1, 2, 4, 6}));
}

TEST_F(Launcher, MoveWeb2NeitherShowsNorMovesThePage)
{
    dlg.m_webWnd.ShowWindow(SW_HIDE);
    RECT before = WindowRectOf(dlg.m_webWnd.m_hWnd);
    dlg.OnFSCommand("moveweb_2", "10,10,50,50");
    EXPECT_EQ(dlg.m_rcWeb2, (Rect{10, 10, 60, 60}));
    EXPECT_FALSE(dlg.m_webWnd.IsWindowVisible());
    RECT after = WindowRectOf(dlg.m_webWnd.m_hWnd);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(Launcher, WebUrl2CentresFromOffScreenAndABigLauncherGoesToTheCorner)
{
    SetWindowPos(dlg.m_hWnd, nullptr, -10000, -10000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::string navigated = LastNavigation(dlg);
    dlg.OnFSCommand("weburl_2", "ignored");
    RECT work = PrimaryWorkArea();
    RECT r = WindowRectOf(dlg.m_hWnd);
    EXPECT_EQ(r.left, (work.left + work.right) / 2 - 1506 / 2);
    EXPECT_EQ(LastNavigation(dlg), navigated);  // no navigation

    SetWindowPos(dlg.m_hWnd, nullptr, 0, 0, (work.right - work.left) + 300, (work.bottom - work.top) + 200,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    dlg.OnFSCommand("weburl", "http://127.0.0.1/next");
    r = WindowRectOf(dlg.m_hWnd);
    EXPECT_EQ(r.left, work.left);
    EXPECT_EQ(r.top, work.top);
    EXPECT_EQ(LastNavigation(dlg), "http://127.0.0.1/next");
}

TEST_F(Launcher, UnknownCommandsAndOkDoNothing)
{
    RECT before = WindowRectOf(dlg.m_hWnd);
    EXPECT_EQ(dlg.OnFSCommand("fly", "1,2,3,4"), 0);
    dlg.SendMessage(WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    EXPECT_TRUE(dlg.IsWindowVisible());
    RECT after = WindowRectOf(dlg.m_hWnd);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(Launcher, EveryPointIsClientArea)
{
    EXPECT_EQ(dlg.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(5, 5)), HTCLIENT);
}

TEST_F(Launcher, RightButtonIsSwallowedAndKeysHaveNoDialogMeaning)
{
    EXPECT_TRUE(Pre(WM_RBUTTONDOWN, MK_RBUTTON, ClientPoint(700, 400)));
    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE), WPARAM(VK_TAB)}) {
        MSG msg{dlg.m_hWnd, WM_KEYDOWN, key, 0, 0, {}};
        EXPECT_FALSE(CWnd::WalkPreTranslateTree(&msg));
        DispatchMessageW(&msg);
    }
    PumpUntil([] { return false; }, 100);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    EXPECT_TRUE(dlg.IsWindowVisible());
}

TEST_F(Launcher, CloseThroughTheQueuePostsQuit)
{
    EXPECT_TRUE(Pre(WM_SYSCOMMAND, SC_CLOSE));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(Launcher, LayeredFrameHasTransparentOpaqueAndSoftPixels)
{
    ASSERT_TRUE(dlg.bLayered);
    ASSERT_NE(dlg.pBlackBits, nullptr);
    EXPECT_EQ(AlphaAt(2, 2), 0);          // outside the face: see-through
    EXPECT_EQ(AlphaAt(1506 - 3, 866), 0);
    EXPECT_EQ(AlphaAt(753, 480), 255);    // the middle of the face
    int soft = 0;
    for (int x = 0; x < 1506; ++x) {
        uint8_t a = AlphaAt(x, 433);
        soft += a > 0 && a < 255;
    }
    EXPECT_GT(soft, 2);  // the rim blends
}

TEST_F(Launcher, ButtonHoverLightsUpAndLeavingTheWindowPutsItOut)
{
    const int x = 1145 + 20, y = 105 + 20;  // the middle of the close button
    uint32_t up = PixelAt(x, y);
    Pre(WM_MOUSEMOVE, 0, ClientPoint(x, y));
    uint32_t over = PixelAt(x, y);
    EXPECT_NE(over, up);
    Pre(WM_MOUSELEAVE);
    EXPECT_EQ(PixelAt(x, y), up);
}

TEST_F(Launcher, DraggingMovesTheWindowAndThePageFollows)
{
    RECT start = WindowRectOf(dlg.m_hWnd);
    RECT pageStart = WindowRectOf(dlg.m_webWnd.m_hWnd);
    SetCursorPos(start.left + 300, start.top + 500);
    Pre(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(300, 500));
    SetCursorPos(start.left + 340, start.top + 530);
    Pre(WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(340, 530));
    RECT moved = WindowRectOf(dlg.m_hWnd);
    EXPECT_EQ(moved.left, start.left + 40);
    EXPECT_EQ(moved.top, start.top + 30);
    RECT page = WindowRectOf(dlg.m_webWnd.m_hWnd);
    EXPECT_EQ(page.left - moved.left, pageStart.left - start.left);
    EXPECT_EQ(page.top - moved.top, pageStart.top - start.top);

    // A move with the button up ends a drag whose release was lost.
    Pre(WM_MOUSEMOVE, 0, ClientPoint(300, 500));
    SetCursorPos(start.left + 100, start.top + 100);
    Pre(WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(100, 100));
    RECT after = WindowRectOf(dlg.m_hWnd);
    EXPECT_TRUE(EqualRect(&after, &moved));
    Pre(WM_LBUTTONUP, 0, ClientPoint(100, 100));
}

// The mouse-leave after a click on the minimise button changes the picture
// while the window is iconic; after the restore the face is composed whole
// again, without the pointer moving.
TEST_F(Launcher, TheFaceIsWholeAfterMinimiseAndRestore)
{
    const int x = 1107 + 16, y = 110 + 17;  // the middle of the minimise button
    const uint32_t up = PixelAt(x, y);
    const LPARAM minimise = ClientPoint(x, y);
    Pre(WM_MOUSEMOVE, 0, minimise);
    Pre(WM_LBUTTONDOWN, MK_LBUTTON, minimise);
    Pre(WM_LBUTTONUP, 0, minimise);
    ASSERT_NE(PixelAt(x, y), up) << "the button is lit under the pointer";
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(dlg.m_hWnd) != FALSE; }, 3000));
    Pre(WM_MOUSELEAVE);
    ShowWindow(dlg.m_hWnd, SW_RESTORE);
    PumpUntil([] { return false; }, 200);
    ASSERT_FALSE(IsIconic(dlg.m_hWnd));
    EXPECT_EQ(dlg.rcLastWindow.right - dlg.rcLastWindow.left, 1506);
    EXPECT_EQ(dlg.rcLastWindow.bottom - dlg.rcLastWindow.top, 867);
    ASSERT_NE(dlg.pBlackBits, nullptr);
    ASSERT_EQ(dlg.rcLastWindow.right - dlg.rcLastWindow.left, 1506);
    EXPECT_EQ(AlphaAt(753, 480), 255);  // the middle of the face
    EXPECT_EQ(AlphaAt(2, 2), 0);
    EXPECT_EQ(PixelAt(x, y), up) << "the pointer left while the window was minimised";
}

// A quick second click arrives as a double-click message: it presses the
// button like the first one.
TEST_F(Launcher, ADoubleClickMessageIsAPress)
{
    const LPARAM minimise = ClientPoint(1107 + 16, 110 + 17);
    Pre(WM_LBUTTONDBLCLK, MK_LBUTTON, minimise);
    Pre(WM_LBUTTONUP, 0, minimise);
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(dlg.m_hWnd) != FALSE; }, 3000));
    ShowWindow(dlg.m_hWnd, SW_RESTORE);
}

TEST_F(Launcher, MinimiseButtonMinimisesAndCloseButtonCloses)
{
    const LPARAM minimise = ClientPoint(1107 + 16, 110 + 17);
    Pre(WM_LBUTTONDOWN, MK_LBUTTON, minimise);
    Pre(WM_LBUTTONUP, 0, minimise);
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(dlg.m_hWnd) != FALSE; }, 3000));
    ShowWindow(dlg.m_hWnd, SW_RESTORE);

    const LPARAM close = ClientPoint(1145 + 20, 105 + 20);
    Pre(WM_LBUTTONDOWN, MK_LBUTTON, close);
    Pre(WM_LBUTTONUP, 0, close);
    EXPECT_EQ(dlg.m_webWnd.m_hWnd, nullptr);  // the page window is destroyed
    EXPECT_FALSE(dlg.IsWindowVisible());      // and the dialog ended
}

}  // namespace
