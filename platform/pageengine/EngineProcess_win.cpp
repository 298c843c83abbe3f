#include "platform/pageengine/EngineProcess_win.h"

#include <cstdlib>
#include <vector>

#include "platform/Handles_win.h"
#include "platform/Text_win.h"

#ifndef MORVANE_PAGE_ENGINE_SCRIPT
#define MORVANE_PAGE_ENGINE_SCRIPT ""
#endif

namespace pageengine {

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::string EngineScriptPath()
{
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(L"MORVANE_PAGE_ENGINE_SCRIPT", value, 1024);
    if (length > 0 && length < 1024) {
        const std::wstring wide(value, length);
        return std::string(wide.begin(), wide.end());  // Unix paths of this build are ASCII
    }
    return MORVANE_PAGE_ENGINE_SCRIPT;
}

bool StartEngineScript(uint16_t port)
{
    const std::string script = EngineScriptPath();
    if (script.empty())
        return false;
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    // Wine's start program runs a Unix program by its Unix path; a Windows
    // process cannot create one directly without Wine replacing the caller.
    const std::wstring start = std::wstring(system) + L"\\start.exe";
    std::wstring line = L"\"" + start + L"\" /unix /usr/bin/python3 \"" + std::wstring(script.begin(), script.end()) +
                        L"\" --connect " + std::to_wstring(port);
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(start.c_str(), buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return false;
    ScopedHandle thread(process.hThread);
    ScopedHandle handle(process.hProcess);
    return true;
}

}  // namespace pageengine
