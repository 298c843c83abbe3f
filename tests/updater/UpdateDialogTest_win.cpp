// The update dialog and the launcher's handling of an announced update,
// against a scripted update server, with real windows and posted notices.
#include <gtest/gtest.h>

#include "platform/Framework_win.h"

#include <commctrl.h>

#include <fstream>

#include "settings/Settings.h"
#include "launcher/TavrinDlg_win.h"
#include "launcher/UpdateHandoff_win.h"
#include "resources/ResourceIds.h"
#include "platform/SettingsStore.h"
#include "platform/socket/Socket.h"
#include "tests/support/TempDir.h"
#include "tests/updater/DownloadRecorder.h"
#include "tests/updater/ScriptedServer.h"
#include "tests/support/OleEnvironment_win.h"
#include "tests/support/Win32TestSupport_win.h"
#include "updater/UpdateDlg_win.h"
#include "updater/UpdatePass.h"
#include "updater/UpdateServices_win.h"

namespace {

using namespace step;

const ::testing::Environment* const g_ole = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

class TestApp : public CWinApp {
public:
    TestApp() { m_strAppName = L"Morvane"; }
};

// A 200 answer whose body is the server's own pattern of n bytes.
std::string OkPattern(size_t n)
{
    return Script({Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(n) + "\r\n\r\n"), Body(n)});
}

std::string Routes(const std::string& version, const std::string& installer)
{
    return "{\"/version.txt\":" + version + ",\"/install.exe\":" + installer + "}";
}

// Message boxes of this thread, read back and dismissed from a timer.
std::vector<std::wstring> g_boxes;
void CALLBACK DismissBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = FindThreadDialog();
    if (!box || GetDlgItem(box, 0xFFFF) == nullptr)
        return;
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    g_boxes.push_back(WindowText(box) + L"|" + text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

class UpdateDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_boxes.clear();
        appDir_ = dir_.Path() + TempDir::kSeparator;
        SetAppDir(appDir_);
        UseBase("http://127.200.0.1");
        timer_ = SetTimer(nullptr, 0, 40, &DismissBoxes);
    }
    void TearDown() override { KillTimer(nullptr, timer_); }
    void UseServer(const ScriptedServer& server) { UseBase("http://" + server.Host()); }
    void UseBase(const std::string& base)
    {
        ConfigureUpdates(UpdateServices{&Win32NoticeSink(), &DefaultSettingsStore(), &Win32Alert()},
                         UpdateSettings{appDir_ + "version.ini", appDir_ + "install.exe", base, "5"});
    }

    TestApp app_;
    sock::Library sockets_;
    TempDir dir_;
    std::string appDir_;
    UINT_PTR timer_ = 0;
};

// Records the progress bar when the dialog ends.
class WatchedUpdateDlg : public CUpdateDlg {
public:
    int rangeMax = -1;
    int position = -1;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT r = CUpdateDlg::WindowProc(message, wParam, lParam);
        if (message == WM_UPDATE_NOTICE && m_progress.m_hWnd) {
            rangeMax = static_cast<int>(m_progress.SendMessage(PBM_GETRANGE, FALSE, 0));
            position = static_cast<int>(m_progress.SendMessage(PBM_GETPOS, 0, 0));
        }
        return r;
    }
};

TEST_F(UpdateDialog, DownloadsTheInstallerAndEndsWithOk)
{
    const std::string installer = PatternBytes(70000);
    ScriptedServer server(Routes(Ok("[update]\r\nid=6\r\n"), OkPattern(70000)));
    ASSERT_TRUE(server.Running());
    UseServer(server);
    WatchedUpdateDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ(dlg.rangeMax, 70000);  // the bar ends exactly with the last byte
    EXPECT_EQ(dlg.position, 70000);
    std::ifstream in(appDir_ + "install.exe", std::ios::binary);
    std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(got, installer);
}

TEST_F(UpdateDialog, AnInstallerUnder1KiBFillsTheBar)
{
    ScriptedServer server(Routes(Ok("[update]\r\nid=6\r\n"), OkPattern(700)));
    ASSERT_TRUE(server.Running());
    UseServer(server);
    WatchedUpdateDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.rangeMax, 700);
    EXPECT_EQ(dlg.position, 700);
}

TEST_F(UpdateDialog, AnInstallerThatCannotBeSavedShowsTheAdministratorHint)
{
    ScriptedServer server(Routes(Ok("[update]\r\nid=6\r\n"), OkPattern(2000)));
    ASSERT_TRUE(server.Running());
    UseServer(server);
    // A directory standing where the installer goes.
    ASSERT_TRUE(CreateDirectoryA((appDir_ + "install.exe").c_str(), nullptr));
    CUpdateDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], L"Morvane|更新：保存升级文件错误，请采用管理员模式运行");
}

TEST_F(UpdateDialog, OtherFailuresEndWithCancelSilently)
{
    ScriptedServer server(Routes(Script({Send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n")}),
                                 Ok("x")));
    ASSERT_TRUE(server.Running());
    UseServer(server);
    CUpdateDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(g_boxes.empty());
}

// The launcher's side: an announced update whose installer will not start
// leaves the launcher and its page as they were (shown, or hidden behind a
// running game), and the process running.
class HandoffVisibility : public UpdateDialog, public ::testing::WithParamInterface<bool> {};

TEST_P(HandoffVisibility, LauncherCarriesOnWhenTheInstallerCannotStart)
{
    const bool shown = GetParam();
    // The launcher's own pass finds no server; the dialog's pass does.
    UseBase("http://127.200.0.1");
    CTavrinDlg launcher;
    ASSERT_TRUE(launcher.CDialog::Create(IDD_MORVANE_DIALOG, nullptr));
    launcher.OnFSCommand("moveweb", "609,292,545,384");
    ASSERT_TRUE(launcher.m_webWnd.IsWindowVisible());
    if (!shown) {  // the game window is open: the launcher and its page are hidden
        launcher.m_webWnd.ShowWindow(SW_HIDE);
        launcher.ShowWindow(SW_HIDE);
    }
    ScriptedServer server(Routes(Ok("[update]\r\nid=6\r\n"), Ok("this is not a program")));
    ASSERT_TRUE(server.Running());
    UseServer(server);
    CHttpCallBack notice;
    notice.hTarget = launcher.m_hWnd;
    notice.nJobId = UpdateJobCounter().load();
    notice.nStatus = HCB_UPDATE_AVAILABLE;
    HandleLauncherUpdateNotice(launcher, notice);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], L"Morvane|程序升级完毕,即将重新启动");
    EXPECT_EQ(launcher.IsWindowVisible() != FALSE, shown);
    EXPECT_EQ(launcher.m_webWnd.IsWindowVisible() != FALSE, shown);
    launcher.m_webWnd.DestroyWindow();
    launcher.DestroyWindow();
}

INSTANTIATE_TEST_SUITE_P(UpdateDialog, HandoffVisibility, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "LauncherShown" : "LauncherHiddenByTheGame"; });

// Keys and the close box while the installer is still coming in: only a
// finished download ends the dialog with IDOK; Escape and the close box
// abandon the update, and no installer appears afterwards.
struct DuringDownload {
    const char* name;
    UINT message;
    WPARAM wParam;
    INT_PTR result;
};
void PrintTo(const DuringDownload& d, std::ostream* os) { *os << d.name; }

class KeyedUpdateDlg : public CUpdateDlg {
public:
    explicit KeyedUpdateDlg(const DuringDownload& input) : input_(input) {}
    bool sent = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_UPDATE_NOTICE && lParam && !sent) {
            const auto* notice = reinterpret_cast<const CHttpCallBack*>(lParam);
            if (notice->nStatus == HCB_PROGRESS && notice->strUrl.find("/install.exe") != std::string::npos) {
                sent = true;
                PostMessage(input_.message, input_.wParam, 0);
            }
        }
        return CUpdateDlg::WindowProc(message, wParam, lParam);
    }

private:
    DuringDownload input_;
};

class InputDuringDownload : public UpdateDialog, public ::testing::WithParamInterface<DuringDownload> {};

TEST_P(InputDuringDownload, OnlyAFinishedDownloadEndsWithOk)
{
    const DuringDownload& input = GetParam();
    const size_t size = 24 * 1024;
    ScriptedServer server(Routes(Ok("[update]\r\nid=6\r\n"),
                                 Script({Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n"),
                                         Drip(size, 1024, 0.05)})));
    ASSERT_TRUE(server.Running());
    UseServer(server);
    KeyedUpdateDlg dlg(input);
    EXPECT_EQ(dlg.DoModal(), input.result);
    EXPECT_TRUE(dlg.sent) << "the input came after the download";
    const std::string installer = appDir_ + "install.exe";
    if (input.result == IDOK) {
        EXPECT_EQ(ReadFileOrMissing(installer), PatternBytes(size));
    } else {
        // Longer than the rest of the body takes: the abandoned pass wrote nothing.
        PumpUntil([] { return false; }, 1500);
        EXPECT_EQ(ReadFileOrMissing(installer), "<missing>");
        EXPECT_EQ(FileNames(dir_.Path()), std::vector<std::string>{"version.ini"});
    }
    EXPECT_TRUE(g_boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    UpdateDialog, InputDuringDownload,
    ::testing::Values(DuringDownload{"Enter", WM_KEYDOWN, VK_RETURN, IDOK},
                      DuringDownload{"Escape", WM_KEYDOWN, VK_ESCAPE, IDCANCEL},
                      DuringDownload{"CloseBox", WM_SYSCOMMAND, SC_CLOSE, IDCANCEL}),
    [](const auto& info) { return std::string(info.param.name); });

// Notices still queued when the dialog's window goes are freed, not leaked.
class CountedNotice : public CHttpCallBack {
public:
    explicit CountedNotice(int* freed) : freed_(freed) {}
    ~CountedNotice() override { ++*freed_; }

private:
    int* freed_;
};

TEST_F(UpdateDialog, NoticesQueuedAtDestructionAreFreed)
{
    int freed = 0;
    CUpdateDlg update;
    ASSERT_TRUE(update.Create(IDD_UPDATE, nullptr));
    for (int i = 0; i < 3; ++i) {
        auto* notice = new CountedNotice(&freed);
        notice->nStatus = HCB_PROGRESS;
        ASSERT_TRUE(update.PostMessage(WM_UPDATE_NOTICE, 0, reinterpret_cast<LPARAM>(notice)));
    }
    update.DestroyWindow();
    EXPECT_EQ(freed, 3);
}

TEST_F(UpdateDialog, LauncherIgnoresEveryOtherStatus)
{
    CTavrinDlg launcher;
    ASSERT_TRUE(launcher.CDialog::Create(IDD_MORVANE_DIALOG, nullptr));
    for (int status : {1, 2, 3, 5, 6, 7, 11, 12, 13}) {
        CHttpCallBack notice;
        notice.nStatus = status;
        HandleLauncherUpdateNotice(launcher, notice);
    }
    EXPECT_TRUE(g_boxes.empty());
    launcher.m_webWnd.DestroyWindow();
    launcher.DestroyWindow();
}

// A notice without its record is ignored by both receivers, never read.
TEST_F(UpdateDialog, ANoticeWithoutItsRecordIsIgnored)
{
    CTavrinDlg launcher;
    ASSERT_TRUE(launcher.CDialog::Create(IDD_MORVANE_DIALOG, nullptr));
    EXPECT_EQ(launcher.SendMessage(WM_UPDATE_NOTICE, 0, 0), 0);
    CUpdateDlg update;
    ASSERT_TRUE(update.Create(IDD_UPDATE, nullptr));
    EXPECT_EQ(update.SendMessage(WM_UPDATE_NOTICE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(update.m_hWnd));
    EXPECT_TRUE(g_boxes.empty());
    update.DestroyWindow();
    launcher.m_webWnd.DestroyWindow();
    launcher.DestroyWindow();
}

}  // namespace
