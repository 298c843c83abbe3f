#pragma once
// Pumping a test thread's messages as the framework's modal loop does.
#include <windows.h>

#include <functional>

#include "platform/Framework_win.h"

// The modal loop's way with queued messages: each is offered to the
// pre-translation of its window and the windows above it first.
inline bool PumpFramework(const std::function<bool()>& done, int timeoutMs = 3000)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWnd::WalkPreTranslateTree(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (done())
            return true;
        if (static_cast<int>(end - GetTickCount()) < 0)
            return false;
        Sleep(5);
    }
}

inline void Settle(int ms = 150) { PumpFramework([] { return false; }, ms); }
