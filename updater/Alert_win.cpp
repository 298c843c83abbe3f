#include <windows.h>

#include <string>

#include "platform/Text_win.h"
#include "updater/Alert.h"
#include "updater/UpdateServices_win.h"

namespace {

class MessageBoxAlert final : public IAlert {
public:
    void Show(std::string_view text, std::string_view caption) override
    {
        MessageBoxW(nullptr, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), MB_OK);
    }
};

}  // namespace

IAlert& Win32Alert()
{
    static MessageBoxAlert* alert = new MessageBoxAlert;
    return *alert;
}
