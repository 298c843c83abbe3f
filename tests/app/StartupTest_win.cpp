// Start-up steps against the real registry, token and module calls.
#include <gtest/gtest.h>

#include "app/AppPath.h"
#include "app/BrowserEmulation.h"
#include "app/StartupSteps_win.h"

#include <string>

namespace {

// The machine key of the system the tests run on: without Wow6432Node in a
// 32-bit prefix, with it in a 64-bit one.
const std::wstring kMachineKeyText = [] {
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    std::string key = MachineBrowserEmulationKey(info.wProcessorArchitecture);
    return std::wstring(key.begin(), key.end());
}();
const wchar_t* const kMachineKey = kMachineKeyText.c_str();
const wchar_t kUserKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

bool ReadDword(HKEY hive, const wchar_t* key, const wchar_t* name, DWORD* value, DWORD* type)
{
    DWORD size = sizeof *value;
    return RegGetValueW(hive, key, name, RRF_RT_ANY, type, value, &size) == ERROR_SUCCESS && size == 4;
}

TEST(BrowserEmulation, WrittenUnderTheMachineAndTheUserKey)
{
    const wchar_t* name = L"StartupProbe.exe";
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kMachineKey, name);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey, name);
    SetBrowserEmulation(L"StartupProbe");
    for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        DWORD value = 0, type = 0;
        ASSERT_TRUE(ReadDword(hive, hive == HKEY_LOCAL_MACHINE ? kMachineKey : kUserKey, name, &value, &type));
        EXPECT_EQ(type, DWORD(REG_DWORD));
        EXPECT_EQ(value, 11001u);
    }
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kMachineKey, name);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey, name);
}

TEST(BrowserEmulation, OverwritesWhateverTheValueHeld)
{
    const wchar_t* name = L"StaleProbe.exe";
    DWORD old = 7;
    RegSetKeyValueW(HKEY_CURRENT_USER, kUserKey, name, REG_DWORD, &old, sizeof old);
    ASSERT_TRUE(WriteBrowserEmulationValue(HKEY_CURRENT_USER, kUserBrowserEmulationKey, name));
    DWORD value = 0, type = 0;
    ASSERT_TRUE(ReadDword(HKEY_CURRENT_USER, kUserKey, name, &value, &type));
    EXPECT_EQ(value, 11001u);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey, name);
}

TEST(ModulePath, AnsiPathAndApplicationDirectory)
{
    char expected[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, expected, MAX_PATH);
    std::optional<std::string> usable = ModulePathAnsi();
    ASSERT_TRUE(usable);
    const std::string path = *usable;
    EXPECT_EQ(path, expected);
    std::string dir = AppDirFromModulePath(path);
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_EQ(path.rfind(dir, 0), 0u);
    EXPECT_EQ(GetFileAttributesA((dir + FileTitleFromPath(path) + ".exe").c_str()) != INVALID_FILE_ATTRIBUTES, true);
}

TEST(DebugPrivilege, EnabledInTheProcessToken)
{
    EnableDebugPrivilege();
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    LUID luid{};
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &luid));
    PRIVILEGE_SET set{1, PRIVILEGE_SET_ALL_NECESSARY, {{luid, 0}}};
    BOOL held = FALSE;
    ASSERT_TRUE(PrivilegeCheck(token, &set, &held));
    CloseHandle(token);
    EXPECT_TRUE(held);
}

}  // namespace
