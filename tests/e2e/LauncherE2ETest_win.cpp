// The whole program under real input: Morvane.exe runs as a process of its
// own, the pointer is moved and clicked through the system's input queue,
// and what the program does is seen from outside (window state, its exit
// code, the browser it starts).
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

RECT PrimaryWorkArea()
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

RECT WindowRectOf(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// Stage points of the movie's buttons: the middle of each.
struct StagePoint {
    int x, y;
};
constexpr StagePoint kBtn1{467 + 41, 158 + 12};
constexpr StagePoint kBtn2{656 + 41, 158 + 12};
constexpr StagePoint kBtn3{840 + 41, 158 + 12};
constexpr StagePoint kBtn4{1027 + 41, 158 + 12};
constexpr StagePoint kBtn5{1107 + 16, 110 + 17};
constexpr StagePoint kBtn6{1145 + 20, 105 + 20};

void SendButton(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// A left click where a player would click: the pointer moves there, then the
// button goes down and up, each through the system's input queue.
void ClickAt(HWND window, StagePoint p)
{
    RECT r = WindowRectOf(window);
    SetCursorPos(r.left + p.x, r.top + p.y);
    Sleep(100);
    SendButton(MOUSEEVENTF_LEFTDOWN);
    Sleep(50);
    SendButton(MOUSEEVENTF_LEFTUP);
}

// The registered handler of http pages, replaced for the life of the object.
class WholeProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        exe_ = Widen(dir_.File("Morvane.exe"));
        ASSERT_TRUE(CopyFileW(FromUnixPath(MORVANE_EXE_UNIX_PATH).c_str(), exe_.c_str(), FALSE)) << GetLastError();
    }
    void TearDown() override
    {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
                TerminateProcess(process_.hProcess, 1);
                WaitForSingleObject(process_.hProcess, 5000);
            }
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }

    // Starts the program and waits until its launcher has come on the screen.
    void Start()
    {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = L"\"" + exe_ + L"\"";
        std::wstring folder = Widen(dir_.Path());
        ASSERT_TRUE(CreateProcessW(exe_.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                                   &si, &process_))
            << GetLastError();
        // Parked off-screen until the movie's start commands centre it.
        ASSERT_TRUE(PumpUntil(
            [&] {
                launcher_ = FindTopWindowOf(process_.dwProcessId, L"Morvane");
                return launcher_ && IsWindowVisible(launcher_) && WindowRectOf(launcher_).left > -10000;
            },
            20000));
        // The face is composed when the movie first draws; give it a moment.
        Sleep(300);
    }

    DWORD WaitForExit(DWORD timeoutMs)
    {
        if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return STILL_ACTIVE;
        DWORD code = 99;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

    TempDir dir_;
    std::wstring exe_;
    PROCESS_INFORMATION process_{};
    HWND launcher_ = nullptr;
};

TEST_F(WholeProgram, AppearsCentredMinimisesOnBtn5AndEndsOnBtn6)
{
    Start();
    ASSERT_NE(launcher_, nullptr);
    RECT work = PrimaryWorkArea();
    RECT r = WindowRectOf(launcher_);
    EXPECT_EQ(r.right - r.left, 1506);
    EXPECT_EQ(r.bottom - r.top, 867);
    EXPECT_EQ(r.left, (work.left + work.right) / 2 - 1506 / 2);
    EXPECT_EQ(r.top, (work.top + work.bottom) / 2 - 867 / 2);

    ClickAt(launcher_, kBtn5);
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(launcher_) != FALSE; }, 5000));
    EXPECT_EQ(WaitForExit(0), DWORD(STILL_ACTIVE));

    ShowWindow(launcher_, SW_RESTORE);
    ASSERT_TRUE(PumpUntil([&] { return !IsIconic(launcher_) && WindowRectOf(launcher_).left == r.left; }, 5000));
    Sleep(300);
    ClickAt(launcher_, kBtn6);
    EXPECT_EQ(WaitForExit(15000), 0u);
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST_F(WholeProgram, LinkButtonsOpenTheirPagesInTheSystemBrowser)
{
    std::wstring recorder = Widen(dir_.File("url_recorder.exe"));
    ASSERT_TRUE(CopyFileW(FromUnixPath(URL_RECORDER_UNIX_PATH).c_str(), recorder.c_str(), FALSE)) << GetLastError();
    HttpHandlerOverride handler(L"\"" + recorder + L"\" \"%1\"");
    ASSERT_TRUE(handler.Ok());
    Start();
    ASSERT_NE(launcher_, nullptr);
    RECT before = WindowRectOf(launcher_);

    struct Case {
        StagePoint button;
        std::string url;
    };
    const Case cases[] = {
        {kBtn1, "http://" MORVANE_PORTAL_HOST "/games/tlvx/"},
        {kBtn2, "http://" MORVANE_PAY_HOST "/?g=606&s=?"},
        {kBtn3, "http://" MORVANE_PORTAL_HOST "/kf/"},
        {kBtn4, "http://" MORVANE_FORUM_HOST "/forum-2115-1.html"},
    };
    const std::string log = dir_.File("urls.txt");
    size_t expected = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        ClickAt(launcher_, c.button);
        ++expected;
        EXPECT_TRUE(PumpUntil([&] { return ReadLines(log).size() >= expected; }, 10000));
        std::vector<std::string> lines = ReadLines(log);
        ASSERT_EQ(lines.size(), expected);
        EXPECT_EQ(lines.back(), c.url);
    }
    // A click is also the start of a drag; one without motion leaves the
    // launcher where it was, and the launcher itself stays.
    RECT after = WindowRectOf(launcher_);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_FALSE(IsIconic(launcher_));
    PostMessageW(launcher_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForExit(15000), 0u);
}

}  // namespace
