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

namespace {

// Whether a Unix file is there, seen through Wine's drive mapping. Wine's
// start program says nothing of a file it cannot run, and the lifeline
// would wait its whole time for a script that never started.
bool UnixFileExists(const std::string& path)
{
    using ToDosName = WCHAR*(CDECL*)(LPCSTR);
    const auto toDos = reinterpret_cast<ToDosName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos)
        return true;  // cannot tell: the lifeline's wait decides
    WCHAR* dos = toDos(path.c_str());
    if (!dos)
        return false;
    const DWORD attributes = GetFileAttributesW(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

constexpr char kPython[] = "/usr/bin/python3";

}  // namespace

bool StartEngineScript(uint16_t port)
{
    const std::string script = EngineScriptPath();
    if (script.empty() || !UnixFileExists(script) || !UnixFileExists(kPython))
        return false;
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    // Wine's start program runs a Unix program by its Unix path; a Windows
    // process cannot create one directly without Wine replacing the caller.
    const std::wstring start = std::wstring(system) + L"\\start.exe";
    const std::wstring python(kPython, kPython + sizeof kPython - 1);
    std::wstring line = L"\"" + start + L"\" /unix " + python + L" \"" + std::wstring(script.begin(), script.end()) +
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
