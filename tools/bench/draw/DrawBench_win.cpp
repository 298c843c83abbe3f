// One whole layered Draw of the launcher with its movie, against the floor of
// the same frame: the two surface fills and UpdateLayeredWindow with the same
// arguments, looked up the same way. Also the two renders and the alpha pass
// on their own, to show where the rest goes. Medians of one run.
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "settings/Settings.h"
#include "flashhost/AlphaRecovery.h"
#include "launcher/TavrinDlg_win.h"
#include "platform/player/MoviePlayer_win.h"
#include "resources/ResourceIds.h"

namespace {

constexpr int kRuns = 61;

using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

// Runs the steps in turn, kRuns rounds, so that a slow spell of the machine
// falls on all of them alike; the median of each.
std::vector<double> InterleavedMediansMs(const std::vector<std::function<void()>>& steps)
{
    for (const auto& step : steps)
        step();  // warm: surfaces made, pages touched
    std::vector<std::vector<double>> times(steps.size());
    for (int i = 0; i < kRuns; ++i) {
        for (size_t s = 0; s < steps.size(); ++s) {
            auto start = std::chrono::steady_clock::now();
            steps[s]();
            times[s].push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
    }
    std::vector<double> medians;
    for (auto& t : times) {
        std::nth_element(t.begin(), t.begin() + kRuns / 2, t.end());
        medians.push_back(t[kRuns / 2]);
    }
    return medians;
}

void PumpFor(DWORD ms)
{
    DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

}  // namespace

int main()
{
    if (FAILED(OleInitialize(nullptr)) || RegisterMoviePlayerClass() != S_OK) {
        std::fprintf(stderr, "no OLE or no movie player\n");
        return 1;
    }
    SetAppDir("C:\\");
    AssignRunTimeSettings();
    int status = 0;
    {
        CTavrinDlg dlg;
        if (!dlg.CDialog::Create(IDD_MORVANE_DIALOG, nullptr)) {
            std::fprintf(stderr, "the launcher was not created\n");
            return 1;
        }
        // The start commands centre the launcher from the message loop.
        for (int i = 0; i < 400 && dlg.m_rcWeb.IsEmpty(); ++i)
            PumpFor(5);
        PumpFor(200);
        IViewObject* view =
            dlg.pViewObjectEx ? static_cast<IViewObject*>(dlg.pViewObjectEx.Get()) : dlg.pViewObject.Get();
        if (!dlg.bLayered || !dlg.pOleObject || !view || dlg.m_rcWeb.IsEmpty()) {
            std::fprintf(stderr, "the launcher has no layered movie face\n");
            status = 1;
        } else {
            RECT r{};
            GetWindowRect(dlg.m_hWnd, &r);
            const LONG w = r.right - r.left, h = r.bottom - r.top;
            const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;

            auto draw = [&] { dlg.Draw(nullptr, nullptr, FALSE); };
            auto floor = [&] {
                memset(dlg.pBlackBits, 0x00, bytes);
                memset(dlg.pWhiteBits, 0xFF, bytes);
                HMODULE user32 = LoadLibraryA("User32.DLL");
                auto update = reinterpret_cast<UpdateLayeredWindowFn>(
                    reinterpret_cast<void*>(GetProcAddress(user32, "UpdateLayeredWindow")));
                POINT destination{r.left, r.top};
                SIZE size{w, h};
                POINT source{0, 0};
                BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                update(dlg.m_hWnd, nullptr, &destination, &size, dlg.hBlackDc, &source, 0, &blend, ULW_ALPHA);
                FreeLibrary(user32);
            };
            auto fills = [&] {
                memset(dlg.pBlackBits, 0x00, bytes);
                memset(dlg.pWhiteBits, 0xFF, bytes);
            };
            RECT client{};
            GetClientRect(dlg.m_hWnd, &client);
            auto renders = [&] {
                OleDraw(view, DVASPECT_TRANSPARENT, dlg.hBlackDc, &client);
                OleDraw(view, DVASPECT_TRANSPARENT, dlg.hWhiteDc, &client);
                GdiFlush();
            };
            auto alpha = [&] {
                RecoverAlpha(dlg.pBlackBits, dlg.pWhiteBits, static_cast<uint32_t>(w), static_cast<uint32_t>(h));
            };
            const std::vector<double> ms = InterleavedMediansMs({draw, floor, fills, renders, alpha});
            std::printf("layered Draw of the launcher, %ldx%ld, medians of %d interleaved rounds\n", w, h, kRuns);
            std::printf("  whole Draw                              %8.3f ms\n", ms[0]);
            std::printf("  two fills + UpdateLayeredWindow (floor) %8.3f ms\n", ms[1]);
            std::printf("  of which the two fills                  %8.3f ms\n", ms[2]);
            std::printf("  two renders (OleDraw x2)                %8.3f ms\n", ms[3]);
            std::printf("  alpha recovery                          %8.3f ms\n", ms[4]);
            std::printf("  Draw / floor                            %8.2f x\n", ms[0] / ms[1]);
        }
        dlg.m_webWnd.DestroyWindow();
        dlg.DestroyWindow();
    }
    RevokeMoviePlayerClass();
    OleUninitialize();
    return status;
}
