#include "platform/DefaultBrowser_win.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <optional>
#include <vector>

#include "platform/BrowserCommandLine.h"
#include "platform/Handles_win.h"
#include "platform/Text_win.h"

namespace {

// The open command of "http" as the shell resolves it (the user's choice).
std::optional<std::wstring> AssociatedCommand()
{
    DWORD size = 0;
    HRESULT hr = AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_COMMAND, L"http", L"open", nullptr, &size);
    if ((hr != S_FALSE && FAILED(hr)) || size == 0)
        return std::nullopt;
    std::wstring command(size, L'\0');
    if (FAILED(AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_COMMAND, L"http", L"open", command.data(), &size)))
        return std::nullopt;
    command.resize(wcsnlen(command.c_str(), command.size()));
    return command;
}

// The first value of HKEY_CLASSES_ROOT\Http\shell\open\command, read whole
// however long it is.
std::optional<std::wstring> RegisteredCommand()
{
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Http\\shell\\open\\command", 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    ScopedRegKey key(raw);
    std::vector<BYTE> data(256);
    for (;;) {
        wchar_t name[256];
        DWORD nameLength = 256;
        DWORD type = 0;
        DWORD dataSize = static_cast<DWORD>(data.size());
        LONG status = RegEnumValueW(key.Get(), 0, name, &nameLength, nullptr, &type, data.data(), &dataSize);
        if (status == ERROR_MORE_DATA && dataSize > data.size()) {
            data.resize(dataSize + sizeof(wchar_t));
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        const auto* text = reinterpret_cast<const wchar_t*>(data.data());
        return std::wstring(text, wcsnlen(text, dataSize / sizeof(wchar_t)));
    }
}

}  // namespace

void OpenInDefaultBrowserW(const std::wstring& url)
{
    std::optional<std::wstring> program;
    if (std::optional<std::wstring> command = AssociatedCommand())
        program = BrowserProgramFromCommandLine(*command);
    if (!program) {
        if (std::optional<std::wstring> command = RegisteredCommand())
            program = BrowserProgramFromCommandLine(*command);
    }
    if (program)
        ShellExecuteW(nullptr, L"open", program->c_str(), url.c_str(), nullptr, SW_SHOWNORMAL);
    else
        ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void OpenInDefaultBrowser(const std::string& url) { OpenInDefaultBrowserW(AnsiToWide(url)); }
