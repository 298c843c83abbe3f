// The whole program as a process: it starts, writes its registry values
// under its current file name, runs its launcher and ends when that closes.
#include <gtest/gtest.h>

#include <string>

#include "app/BrowserEmulation.h"
#include "tests/support/TempDir.h"
#include "tests/support/Win32TestSupport_win.h"

namespace {

std::wstring ProgramPath()
{
    std::wstring unixPath = L"" MORVANE_EXE_UNIX_PATH;
    std::wstring path = L"Z:" + unixPath;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

TEST(LauncherProcess, RenamedProgramWritesItsNewNameAndEndsWhenClosed)
{
    TempDir dir;
    std::string exeA = dir.File("Game.exe");
    std::wstring exe(exeA.begin(), exeA.end());
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), exe.c_str(), FALSE)) << GetLastError();
    const wchar_t* key = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"Game.exe");

    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe + L"\"";
    ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    HWND launcher = nullptr;
    EXPECT_TRUE(PumpUntil([&] { return (launcher = FindTopWindowOf(pi.dwProcessId, L"Morvane")) != nullptr; }, 15000));
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, key, L"Game.exe", RRF_RT_REG_DWORD, nullptr, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 11001u);
    DWORD machineValue = 0;
    size = sizeof machineValue;
    // The machine key of this system's architecture (Wow6432Node on 64-bit).
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    const char* machineKey = MachineBrowserEmulationKey(info.wProcessorArchitecture);
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, machineKey, "Game.exe", RRF_RT_REG_DWORD, nullptr, &machineValue, &size),
              ERROR_SUCCESS);
    // A close command through the queue, as the system menu sends it.
    if (launcher)
        PostMessageW(launcher, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD waited = WaitForSingleObject(pi.hProcess, 15000);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"Game.exe");
}

}  // namespace
