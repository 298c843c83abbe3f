#include <windows.h>

#include <string>

#include "updater/Alert.h"
#include "updater/Win32Updater.h"

namespace {

std::wstring Widen(std::string_view utf8)
{
    if (utf8.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

class MessageBoxAlert final : public IAlert {
public:
    void Show(std::string_view text, std::string_view caption) override
    {
        MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
    }
};

}  // namespace

IAlert& Win32Alert()
{
    static MessageBoxAlert* alert = new MessageBoxAlert;
    return *alert;
}
