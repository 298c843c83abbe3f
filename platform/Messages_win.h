#pragma once
// Typed arguments of the messages the program handles, each cracked once
// here, so that handlers take named values instead of WPARAM and LPARAM.
#include <windows.h>

namespace msg {

// A signed point packed in an LPARAM (windowsx.h is kept out: its macros
// clash with the framework's member names).
inline POINT PointFromLParam(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// WM_SIZE
struct Size {
    UINT type;  // SIZE_RESTORED, SIZE_MINIMIZED, ...
    int cx;
    int cy;
};
inline Size CrackSize(WPARAM wParam, LPARAM lParam)
{
    return Size{static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)};
}

// WM_ACTIVATE
struct Activate {
    UINT state;      // WA_INACTIVE, WA_ACTIVE or WA_CLICKACTIVE
    bool minimized;  // the window being activated is minimised
    HWND other;      // the window losing or gaining activation; may be null
};
inline Activate CrackActivate(WPARAM wParam, LPARAM lParam)
{
    return Activate{LOWORD(wParam), HIWORD(wParam) != 0, reinterpret_cast<HWND>(lParam)};
}

// WM_COMMAND
struct Command {
    UINT id;       // menu, accelerator or control id
    UINT code;     // notification code: 0 menu, 1 accelerator, else the control's
    HWND control;  // null for menus and accelerators
};
inline Command CrackCommand(WPARAM wParam, LPARAM lParam)
{
    return Command{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)};
}

// WM_TIMER
inline UINT_PTR CrackTimer(WPARAM wParam) { return static_cast<UINT_PTR>(wParam); }

// WM_HOTKEY
struct HotKey {
    int id;
    UINT modifiers;  // MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN
    UINT vk;
};
inline HotKey CrackHotKey(WPARAM wParam, LPARAM lParam)
{
    return HotKey{static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam)};
}

// WM_SYSCOMMAND
struct SysCommand {
    UINT command;  // SC_CLOSE, SC_MINIMIZE, ... (the low four bits masked off)
    POINT cursor;  // screen position for mouse-chosen commands
};
inline SysCommand CrackSysCommand(WPARAM wParam, LPARAM lParam)
{
    return SysCommand{static_cast<UINT>(wParam & 0xFFF0), PointFromLParam(lParam)};
}

// Client-area mouse messages (WM_MOUSEMOVE, WM_LBUTTONDOWN, ...).
struct Mouse {
    POINT point;  // client coordinates, signed
    UINT keys;    // MK_LBUTTON, MK_SHIFT, ...
};
inline Mouse CrackMouse(WPARAM wParam, LPARAM lParam)
{
    return Mouse{PointFromLParam(lParam), static_cast<UINT>(wParam)};
}

// Non-client mouse messages (WM_NCHITTEST, WM_NCLBUTTONDOWN, WM_NCMOUSEMOVE, ...).
struct NcMouse {
    UINT hitTest;  // HTCAPTION, HTCLOSE, ...; 0 for WM_NCHITTEST
    POINT screen;  // screen coordinates, signed
};
inline NcMouse CrackNcMouse(WPARAM wParam, LPARAM lParam)
{
    return NcMouse{static_cast<UINT>(wParam), PointFromLParam(lParam)};
}

// WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP
struct Key {
    UINT vk;
    UINT repeat;
    bool wasDown;  // bit 30: the key was already down
};
inline Key CrackKey(WPARAM wParam, LPARAM lParam)
{
    return Key{static_cast<UINT>(wParam), static_cast<UINT>(lParam & 0xFFFF), (lParam & (1 << 30)) != 0};
}

// WM_CTLCOLORDLG, WM_CTLCOLORSTATIC, ...
struct CtlColor {
    HDC dc;
    HWND control;
};
inline CtlColor CrackCtlColor(WPARAM wParam, LPARAM lParam)
{
    return CtlColor{reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)};
}

}  // namespace msg
