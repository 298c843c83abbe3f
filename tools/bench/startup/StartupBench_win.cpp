// Start-up of the launcher: from process start to its face composed on the
// screen, against a bare program that shows one layered window of the same
// size at the same place. Both are started in turn, five times each in one
// run; each is timed until the screen pixel in the middle of the window
// changes (the first composed picture), then ended. Prints the medians and
// their ratio. Usage: startup_bench LAUNCHER.exe BARE.exe [RUNS]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Milliseconds from CreateProcess until the screen pixel at the probe point
// differs from what it was before; negative on a time-out.
double TimeToFirstPicture(const std::wstring& exe)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // A point of the face's opaque picture beside the page window (which
    // covers the middle and shows with a window of its own): the castle.
    const POINT probe{(work.left + work.right) / 2 - 300, (work.top + work.bottom) / 2 + 40};
    HDC screen = GetDC(nullptr);
    const COLORREF before = GetPixel(screen, probe.x, probe.y);
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ReleaseDC(nullptr, screen);
        return -1;
    }
    double ms = -1;
    for (;;) {
        const double elapsed =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (GetPixel(screen, probe.x, probe.y) != before) {
            ms = elapsed;
            break;
        }
        if (elapsed > 60000)
            break;
        Sleep(1);
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ReleaseDC(nullptr, screen);
    Sleep(300);  // the screen settles back to its background
    return ms;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench LAUNCHER.exe BARE.exe [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
    std::vector<double> launcher, bare;
    for (int i = 0; i < runs; ++i) {
        launcher.push_back(TimeToFirstPicture(argv[1]));
        bare.push_back(TimeToFirstPicture(argv[2]));
    }
    for (double t : launcher)
        if (t < 0)
            std::fprintf(stderr, "a launcher run showed nothing within a minute\n");
    const double l = Median(launcher), b = Median(bare);
    std::printf("launcher: first picture after %.1f ms (median of %d)\n", l, runs);
    std::printf("bare layered window: %.1f ms (median of %d)\n", b, runs);
    std::printf("ratio launcher / bare: %.2f (goal <= 1.5)\n", b > 0 ? l / b : 0.0);
    return 0;
}
