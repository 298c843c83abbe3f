#pragma once
// Small helpers for tests that drive real windows under Wine.
#include <windows.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>

// Pumps this thread's messages until the condition holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
    return true;
}

inline std::wstring WindowText(HWND hwnd)
{
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

namespace win32test {
struct WindowSearch {
    DWORD pid = 0;
    DWORD tid = 0;
    const wchar_t* title = nullptr;
    const wchar_t* className = nullptr;
    HWND found = nullptr;
};

inline BOOL CALLBACK MatchWindow(HWND w, LPARAM p)
{
    auto* s = reinterpret_cast<WindowSearch*>(p);
    DWORD pid = 0;
    DWORD tid = GetWindowThreadProcessId(w, &pid);
    if (s->pid && pid != s->pid)
        return TRUE;
    if (s->tid && tid != s->tid)
        return TRUE;
    if (s->title && WindowText(w) != s->title)
        return TRUE;
    if (s->className) {
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        if (std::wstring(cls) != s->className)
            return TRUE;
    }
    if (!IsWindowVisible(w) && !s->title)
        return TRUE;
    s->found = w;
    return FALSE;
}
}  // namespace win32test

// A top-level window of a process with the given title, or null.
inline HWND FindTopWindowOf(DWORD pid, const wchar_t* title)
{
    win32test::WindowSearch s;
    s.pid = pid;
    s.title = title;
    EnumWindows(&win32test::MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A visible dialog-class window (a message box, say) of this thread, or null.
inline HWND FindThreadDialog()
{
    win32test::WindowSearch s;
    s.tid = GetCurrentThreadId();
    s.className = L"#32770";
    EnumThreadWindows(s.tid, &win32test::MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// The path of a file next to the running test program.
inline std::wstring BesideThisProgram(const std::wstring& name)
{
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/") + 1) + name;
}

// The whole screen as a 24-bit BMP file, to look at after a run.
inline bool SaveScreen(const std::wstring& path)
{
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    const DWORD rowBytes = static_cast<DWORD>(((w * 3) + 3) & ~3);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof file + sizeof bmi.bmiHeader + rowBytes * h), 0, 0,
                          sizeof file + sizeof bmi.bmiHeader};
    std::ofstream out(std::string(path.begin(), path.end()), std::ios::binary);  // an ASCII path
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&bmi.bmiHeader), sizeof bmi.bmiHeader);
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(rowBytes) * h);
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out.good();
}
