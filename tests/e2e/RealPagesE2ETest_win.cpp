// The whole program with real pages: Morvane.exe as a process of its own,
// its browser controls backed by the page engine, the demo portal serving
// the pages (started by real-pages.sh, whose log this reads), real pointer
// and key input. What the login page does is seen in the server's log: the
// page reports its steps as requests there.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/HttpHandlerOverride_win.h"
#include "tests/support/TempDir.h"
#include "tests/support/Win32TestSupport_win.h"

namespace {

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::string ServerLog()
{
    const char* path = getenv("MORVANE_DEMO_LOG");
    if (!path)
        return {};
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

bool LogShows(const std::string& what, size_t times = 1, int timeoutMs = 15000)
{
    return PumpUntil([&] { return Count(ServerLog(), what) >= times; }, timeoutMs);
}

// Points of the login page's elements, in the page's own pixels.
struct PagePoint {
    int x, y;
};
constexpr PagePoint kMinimise{450, 21};
constexpr PagePoint kForgot{120, 180};
constexpr PagePoint kEntry{62, 224};
constexpr PagePoint kOpenWindow{78, 268};
constexpr PagePoint kAlert{183, 268};
constexpr PagePoint kPartnerA{368, 84};
constexpr PagePoint kEmpty{200, 330};

void SendMouse(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void SendKey(WORD vk)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof input[0]);
}

struct Found {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisible(HWND w, LPARAM p)
{
    auto* found = reinterpret_cast<Found*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == found->pid && IsWindowVisible(w))
        found->windows.push_back(w);
    return TRUE;
}

BOOL CALLBACK FindEngineWindow(HWND w, LPARAM p)
{
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (std::wstring(cls) == L"MorvanePageEngine" && IsWindowVisible(w)) {
        *reinterpret_cast<HWND*>(p) = w;
        return FALSE;
    }
    return TRUE;
}

class RealPages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(getenv("MORVANE_DEMO_LOG"), nullptr) << "run by real-pages.sh";
        exe_ = Widen(dir_.File("Morvane.exe"));
        ASSERT_TRUE(CopyFileW(FromUnixPath(MORVANE_EXE_UNIX_PATH).c_str(), exe_.c_str(), FALSE)) << GetLastError();
    }
    void TearDown() override
    {
        if (!process_.hProcess)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    // Starts the program and waits until the login page has run its script.
    void Start()
    {
        const size_t shown = Count(ServerLog(), "/report?launcher-");
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = L"\"" + exe_ + L"\"";
        std::wstring folder = Widen(dir_.Path());
        ASSERT_TRUE(CreateProcessW(exe_.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                                   &si, &process_));
        ASSERT_TRUE(LogShows("/report?launcher-", shown + 1, 30000)) << ServerLog();
        launcher_ = FindTopWindowOf(process_.dwProcessId, L"Morvane");
        ASSERT_NE(launcher_, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return (page_ = EngineWindow()) != nullptr; }, 10000));
        Sleep(500);  // the page's first frames
    }
    HWND EngineWindow()
    {
        HWND found = nullptr;
        for (HWND top : Visible())
            EnumChildWindows(top, &FindEngineWindow, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    std::vector<HWND> Visible()
    {
        Found found{process_.dwProcessId, {}};
        EnumWindows(&CollectVisible, reinterpret_cast<LPARAM>(&found));
        return found.windows;
    }
    // A maximised top-level window of the program: the game window.
    HWND GameWindow()
    {
        for (HWND w : Visible())
            if (IsZoomed(w))
                return w;
        return nullptr;
    }
    void Click(PagePoint p, bool right = false)
    {
        POINT at{p.x, p.y};
        ClientToScreen(page_, &at);
        SetCursorPos(at.x, at.y);
        Sleep(150);
        SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
        Sleep(60);
        SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
        Sleep(150);
    }
    // Closes the game window as a player does: its close, then Yes.
    void CloseGameWindow(HWND game)
    {
        PostMessageW(game, WM_SYSCOMMAND, SC_CLOSE, 0);
        HWND question = nullptr;
        ASSERT_TRUE(PumpUntil(
            [&] {
                for (HWND w : Visible()) {
                    wchar_t cls[16] = {};
                    GetClassNameW(w, cls, 16);
                    if (std::wstring(cls) == L"#32770" && GetDlgItem(w, IDYES))
                        question = w;
                }
                return question != nullptr;
            },
            5000));
        PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(game) || !IsWindowVisible(game); }, 10000));
    }

    TempDir dir_;
    std::wstring exe_;
    PROCESS_INFORMATION process_{};
    HWND launcher_ = nullptr;
    HWND page_ = nullptr;
};

// A pixel of a window of the program, read from the screen.
COLORREF ScreenPixelOf(HWND w, int x, int y)
{
    POINT at{x, y};
    ClientToScreen(w, &at);
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, at.x, at.y);
    ReleaseDC(nullptr, dc);
    return c;
}

TEST_F(RealPages, TheLoginPageIsDrawnAndFindsTheLauncher)
{
    Start();
    EXPECT_EQ(Count(ServerLog(), "/report?launcher-missing"), 0u) << ServerLog();
    // The page's own colours in the page area: its dark panel under the title bar.
    int panel = 0;
    for (int x = 300; x < 540; x += 20) {
        const COLORREF c = ScreenPixelOf(page_, x, 300);
        panel += abs(GetRValue(c) - 0x14) < 12 && abs(GetGValue(c) - 0x20) < 12 && abs(GetBValue(c) - 0x30) < 12;
    }
    EXPECT_GE(panel, 10) << std::hex << ScreenPixelOf(page_, 300, 300);
    SaveScreen(BesideThisProgram(L"real-pages-launcher.bmp"));
}

TEST_F(RealPages, ARightClickShowsNoMenuAndAnAlertShowsNothing)
{
    Start();
    const size_t before = Visible().size();
    Click(kEmpty, true);
    Sleep(500);
    EXPECT_EQ(Visible().size(), before);
    Click(kAlert);
    EXPECT_TRUE(LogShows("/report?alert-returned"));
    EXPECT_EQ(Visible().size(), before);
}

TEST_F(RealPages, F5ReloadsThePageAndBackspaceDoesNotGoBack)
{
    Start();
    const size_t loads = Count(ServerLog(), "GET /games/tlvx/duz/ ");
    const size_t reports = Count(ServerLog(), "/report?launcher-");
    Click(kEmpty);
    SendKey(VK_F5);
    EXPECT_TRUE(LogShows("GET /games/tlvx/duz/ ", loads + 1));
    ASSERT_TRUE(LogShows("/report?launcher-", reports + 1));
    Sleep(800);
    // A partner page loads in place; Backspace there does not go back.
    Click(kPartnerA);
    EXPECT_TRUE(LogShows("GET /guest/c/?gid=dova"));
    Sleep(800);
    const size_t shown = Count(ServerLog(), "/report?login-shown");
    Click(kEmpty);
    SendKey(VK_BACK);
    Sleep(1500);
    EXPECT_EQ(Count(ServerLog(), "/report?login-shown"), shown);
}

TEST_F(RealPages, TheMinimiseCallOfThePageMinimisesTheLauncher)
{
    Start();
    Click(kMinimise);
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(launcher_) != FALSE; }, 5000));
    EXPECT_TRUE(LogShows("/report?fnMin-returned"));
}

TEST_F(RealPages, TheEntryLinkOpensTheGameWindowOnItsTimedAddress)
{
    Start();
    Click(kEntry);
    HWND game = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (game = GameWindow()) != nullptr; }, 15000));
    EXPECT_TRUE(LogShows("GET /games/duz/togame.php?target=tlvx&t="));
    Sleep(1500);
    SaveScreen(BesideThisProgram(L"real-pages-game-window.bmp"));
    CloseGameWindow(game);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(launcher_) != FALSE; }, 5000));
}

// The page's call returns only once the game window it opened has closed.
TEST_F(RealPages, OpeningTheGameWindowFromScriptReturnsWhenItCloses)
{
    Start();
    Click(kOpenWindow);
    HWND game = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (game = GameWindow()) != nullptr; }, 15000));
    Sleep(1000);
    EXPECT_EQ(Count(ServerLog(), "/report?fnOpenNewWindow-returned"), 0u);
    CloseGameWindow(game);
    EXPECT_TRUE(LogShows("/report?fnOpenNewWindow-returned"));
}

TEST_F(RealPages, ThePasswordLinkGoesToTheSystemBrowserAndThePageStays)
{
    std::wstring recorder = Widen(dir_.File("url_recorder.exe"));
    ASSERT_TRUE(CopyFileW(FromUnixPath(URL_RECORDER_UNIX_PATH).c_str(), recorder.c_str(), FALSE));
    HttpHandlerOverride handler(L"\"" + recorder + L"\" \"%1\"");
    ASSERT_TRUE(handler.Ok());
    Start();
    Click(kForgot);
    const std::string urls = dir_.File("urls.txt");
    EXPECT_TRUE(PumpUntil([&] { return std::ifstream(urls).good(); }, 10000));
    std::string first;
    std::getline(std::ifstream(urls) >> std::ws, first);
    EXPECT_NE(first.find("/index.php/user/login/forgot_password"), std::string::npos) << first;
    Sleep(500);
    EXPECT_EQ(Count(ServerLog(), "forgot_password"), 0u);
}

}  // namespace
