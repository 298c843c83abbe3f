// How the process reaches the player: its class object, registered for the
// movie control's class, and the pump that runs a player's start commands
// from the message loop.
#include "platform/player/MoviePlayer_win.h"

#include <ole2.h>

#include "platform/ClassFactory_win.h"
#include "platform/Com_win.h"
#include "platform/player/MovieControl_win.h"
#include "platform/player/MoviePlayerInternal_win.h"

namespace {

constexpr UINT kWmRunStartCommands = WM_APP + 0x51;
constexpr wchar_t kPumpClass[] = L"MorvaneMoviePlayerPump";

StaticClassFactory<&CreateMoviePlayer> g_factory;
ProcessClassRegistration g_registration;

}  // namespace

HRESULT RegisterMoviePlayerClass() { return g_registration.Register(CLSID_ShockwaveFlash, &g_factory); }

void RevokeMoviePlayerClass() { g_registration.Revoke(); }

void StartCommandPump::Post()
{
    if (!hwnd_) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kPumpClass;
        RegisterClassW(&wc);  // fails harmlessly when already registered
        hwnd_ = CreateWindowExW(0, kPumpClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        if (!hwnd_)
            return;
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    PostMessageW(hwnd_, kWmRunStartCommands, 0, reinterpret_cast<LPARAM>(this));
}

void StartCommandPump::Destroy()
{
    if (hwnd_) {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

LRESULT CALLBACK StartCommandPump::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowProcBoundary(0, [&] {
        if (message == kWmRunStartCommands) {
            auto* pump = reinterpret_cast<StartCommandPump*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            if (pump && reinterpret_cast<StartCommandPump*>(lParam) == pump)
                pump->runner_.RunStartCommands();
            return LRESULT{0};
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    });
}
