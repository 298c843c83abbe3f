// The game window's frame painting: PaintFrame of a maximised window against
// one BitBlt of the same window area (the floor: the frame is composed off
// screen and copied in one transfer), PaintFrame when the look changed (the
// composition drawn anew), and a hover change (the pointer onto
// the close button until its new look is on the screen). Medians of many
// runs in one process; prints both figures and their ratio.
// Usage: frame_bench [RUNS]   (under Wine, with a display)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gamewnd/FrameLayout.h"
#include "gamewnd/NewWindowDlg_win.h"
#include "platform/Com_win.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

template <class F>
double TimeMs(F&& f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int runs = argc > 1 ? std::max(5, _wtoi(argv[1])) : 200;
    OleSession ole;
    SetAppDir("C:\\");
    AssignRunTimeSettings();
    CNewWindowDlg game;  // no browser control: only the frame is measured
    game.m_strURL = "about:blank";
    if (!game.Create(IDD_NEWWINDOW, nullptr)) {
        std::fprintf(stderr, "the game window could not be created\n");
        return 1;
    }
    Pump();
    RECT window;
    game.GetWindowRect(&window);
    const int W = window.right - window.left, H = window.bottom - window.top;

    std::vector<double> paint, blit, compose, hover;
    HDC dc = GetWindowDC(game.m_hWnd);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, W, H);
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (int i = 0; i < runs; ++i) {
        paint.push_back(TimeMs([&] { game.PaintFrame(); GdiFlush(); }));
        blit.push_back(TimeMs([&] { BitBlt(dc, 0, 0, W, H, memory, 0, 0, SRCCOPY); GdiFlush(); }));
        // A changed look (a button's hover) is composed anew before the copy.
        CDUIButton& close = game.m_buttons.at(gameframe::kCloseButton);
        close.m_bHover = !close.m_bHover;
        compose.push_back(TimeMs([&] { game.PaintFrame(); GdiFlush(); }));
        Pump();
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(game.m_hWnd, dc);

    // The pointer onto the close button and off it again, each until the
    // screen pixel at the button's middle shows the new look.
    const RECT close = game.m_buttons.at(gameframe::kCloseButton).m_rect;
    const POINT screenPoint{window.left + (close.left + close.right) / 2, window.top + (close.top + close.bottom) / 2};
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < std::min(runs, 50); ++i) {
        const bool onto = i % 2 == 0;
        const COLORREF before = GetPixel(screen, screenPoint.x, screenPoint.y);
        hover.push_back(TimeMs([&] {
            if (onto)
                game.SendMessage(WM_NCMOUSEMOVE, HTCLOSE, MAKELPARAM(screenPoint.x, screenPoint.y));
            else
                game.SendMessage(WM_NCMOUSELEAVE);
            for (int spin = 0; spin < 1000 && GetPixel(screen, screenPoint.x, screenPoint.y) == before; ++spin)
                Sleep(0);
        }));
        Pump();
    }
    ReleaseDC(nullptr, screen);

    const double p = Median(paint), b = Median(blit);
    std::printf("window %dx%d, %d runs\n", W, H, runs);
    std::printf("PaintFrame: %.3f ms (median)\n", p);
    std::printf("one BitBlt of the window area: %.3f ms (median)\n", b);
    std::printf("ratio PaintFrame / BitBlt: %.2f (goal <= 2)\n", b > 0 ? p / b : 0.0);
    const double c = Median(compose);
    std::printf("PaintFrame after a change of look (composed anew): %.3f ms (median), ratio to BitBlt %.2f\n", c,
                b > 0 ? c / b : 0.0);
    std::printf("hover change to the new look on screen: %.3f ms (median of %zu)\n", Median(hover), hover.size());
    return 0;
}
