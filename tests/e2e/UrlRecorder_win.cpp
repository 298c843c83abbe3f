// Stands in for the system's browser: appends each argument it is started
// with, one per line in UTF-8, to urls.txt beside itself, and ends.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::wstring LogPath()
{
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/") + 1) + L"urls.txt";
}

std::string Utf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args)
        return 1;
    std::string lines;
    for (int i = 1; i < count; ++i)
        lines += Utf8(args[i]) + "\n";
    LocalFree(args);
    // Two browsers started at once must not lose a line: append under a
    // share mode that lets only one writer in, and retry while it is busy.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = CreateFileW(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            BOOL ok = WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
            CloseHandle(file);
            return ok ? 0 : 1;
        }
        Sleep(10);
    }
    return 1;
}
