#include "app/StartupSteps_win.h"

#include "app/AppPath.h"
#include "app/BrowserEmulation.h"
#include "platform/Handles_win.h"
#include "platform/ModulePath_win.h"
#include "platform/Text_win.h"

void EnableDebugPrivilege()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw))
        return;
    ScopedHandle token(raw);
    TOKEN_PRIVILEGES privileges{};
    if (!LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &privileges.Privileges[0].Luid))
        return;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
}

bool WriteBrowserEmulationValue(HKEY hive, const char* subKey, const std::wstring& valueName)
{
    HKEY raw = nullptr;
    std::wstring key = AnsiToWide(subKey);
    // Query, set value, create and enumerate subkeys.
    constexpr REGSAM kOpenAccess = 0xF;
    if (RegOpenKeyExW(hive, key.c_str(), 0, kOpenAccess, &raw) != ERROR_SUCCESS) {
        raw = nullptr;
        if (RegCreateKeyExW(hive, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &raw,
                            nullptr) != ERROR_SUCCESS)
            return false;
    }
    ScopedRegKey opened(raw);
    DWORD mode = kBrowserEmulationMode;
    return RegSetValueExW(opened.Get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode),
                          sizeof mode) == ERROR_SUCCESS;
}

void SetBrowserEmulation(const std::wstring& appTitle)
{
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    std::wstring name = BrowserEmulationValueName(appTitle);
    WriteBrowserEmulationValue(HKEY_LOCAL_MACHINE, MachineBrowserEmulationKey(info.wProcessorArchitecture), name);
    WriteBrowserEmulationValue(HKEY_CURRENT_USER, kUserBrowserEmulationKey, name);
}

std::optional<std::string> ModulePathAnsi()
{
    std::wstring path = ModuleFileNameW();
    if (path.empty())
        return std::nullopt;
    AnsiPathForm longForm;
    longForm.text = WideToAnsi(path, &longForm.lossless);
    std::optional<AnsiPathForm> shortForm;
    if (!longForm.lossless) {
        DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
        if (n != 0) {
            std::wstring shortPath(n, L'\0');
            n = GetShortPathNameW(path.c_str(), shortPath.data(), n);
            shortPath.resize(n);
            shortForm.emplace();
            shortForm->text = WideToAnsi(shortPath, &shortForm->lossless);
        }
    }
    return UsableAnsiPath(longForm, shortForm);
}
