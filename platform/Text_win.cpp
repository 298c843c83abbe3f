#include "platform/Text_win.h"

#include <windows.h>

namespace {

std::wstring ToWide(UINT codePage, std::string_view text)
{
    if (text.empty())
        return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string FromWide(UINT codePage, std::wstring_view text, BOOL* usedDefault)
{
    if (text.empty())
        return std::string();
    DWORD flags = usedDefault ? WC_NO_BEST_FIT_CHARS : 0;
    int n = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, usedDefault);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                            usedDefault);
    return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) { return ToWide(CP_UTF8, text); }
std::string WideToUtf8(std::wstring_view text) { return FromWide(CP_UTF8, text, nullptr); }
std::wstring AnsiToWide(std::string_view text) { return ToWide(CP_ACP, text); }
std::string WideToAnsi(std::wstring_view text) { return FromWide(CP_ACP, text, nullptr); }

std::string WideToAnsi(std::wstring_view text, bool* lossless)
{
    BOOL usedDefault = FALSE;
    std::string out = FromWide(CP_ACP, text, &usedDefault);
    // The round trip catches best-fit mappings that the flag does not report.
    *lossless = !usedDefault && AnsiToWide(out) == text;
    return out;
}
