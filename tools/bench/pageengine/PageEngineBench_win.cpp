// The page engine against Chromium alone over the same protocol, under Wine:
//   - Navigate to the first painted frame of a page: the control (its
//     window hosted on a dialog, the host's Navigate call until the page's
//     colour is on the screen) against a DevTools client of its own
//     (Page.navigate until the first screencast frame arrives);
//   - a press on the page to its changed picture: real pointer input
//     until the new colour is on the screen, against Input.dispatchMouseEvent
//     until the next frame arrives;
//   - the program's processor time while the page does not change.
// Medians of RUNS in one run; prints all figures and the two ratios.
// Usage: page-engine-bench.sh [RUNS]  (starts the page server and this program)
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Com_win.h"
#include "platform/Framework_win.h"
#include "platform/devtools/DevToolsConnection.h"
#include "platform/devtools/EngineLifeline.h"
#include "platform/pageengine/EngineProcess_win.h"
#include "platform/pageengine/PageEngineControl_win.h"
#include "platform/socket/Socket.h"
#include "resources/ResourceIds.h"

namespace {

using Clock = std::chrono::steady_clock;
using devtools::Json;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!CWnd::WalkPreTranslateTree(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// The page's colour for run i: each run shows a colour the last did not.
COLORREF RunColour(int i) { return RGB(40 + (i * 37) % 180, 60 + (i * 53) % 160, 90 + (i * 29) % 150); }

std::string Hex(COLORREF c)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) < 10 && abs(GetGValue(a) - GetGValue(b)) < 10 &&
           abs(GetBValue(a) - GetBValue(b)) < 10;
}

COLORREF ScreenPixel(POINT p)
{
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(nullptr, dc);
    return c;
}

// Waits, pumping, until the screen shows the colour at the point.
bool WaitForColour(POINT p, COLORREF colour, int timeoutMs)
{
    const auto start = Clock::now();
    while (Ms(start) < timeoutMs) {
        Pump();
        if (Near(ScreenPixel(p), colour))
            return true;
        Sleep(1);
    }
    return false;
}

// The floor: one page of a browser of its own, over DevTools directly.
class DirectPage {
public:
    bool Open(int width, int height)
    {
        if (!lifeline_.Listen() || !pageengine::StartEngineScript(lifeline_.Port()))
            return false;
        const devtools::EngineLifeline::Answer answer = lifeline_.Await(30000);
        connection_.SetEventHandler([this](const Json& event) {
            if (event.value("method", "") != "Page.screencastFrame")
                return;
            connection_.Send("Page.screencastFrameAck", {{"sessionId", event["params"].value("sessionId", 0)}},
                             session_);
            std::lock_guard<std::mutex> lock(mutex_);
            ++frames_;
            changed_.notify_all();
        });
        if (answer.webSocketUrl.empty() || !connection_.Open(answer.webSocketUrl, 5000))
            return false;
        auto target = connection_.Call("Target.createTarget", {{"url", "about:blank"}});
        if (!target)
            return false;
        auto attached =
            connection_.Call("Target.attachToTarget", {{"targetId", (*target)["targetId"]}, {"flatten", true}});
        if (!attached)
            return false;
        session_ = (*attached)["sessionId"];
        connection_.Call("Page.enable", Json::object(), session_);
        connection_.Call("Emulation.setDeviceMetricsOverride",
                         {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}},
                         session_);
        connection_.Call("Page.startScreencast",
                         {{"format", "jpeg"}, {"quality", 90}, {"maxWidth", width}, {"maxHeight", height}}, session_);
        return true;
    }
    // Sends the command and waits for the next frame; its time in ms, or -1.
    double ToNextFrame(const std::string& method, Json params)
    {
        int before;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            before = frames_;
        }
        const auto start = Clock::now();
        connection_.Send(method, std::move(params), session_);
        std::unique_lock<std::mutex> lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::seconds(10), [&] { return frames_ > before; }))
            return -1;
        return Ms(start);
    }
    // Sends without waiting for a frame (a move changes nothing on this page).
    void Fire(const std::string& method, Json params) { connection_.Send(method, std::move(params), session_); }
    void Settle(int ms) { Sleep(ms); }

private:
    devtools::EngineLifeline lifeline_;
    devtools::Connection connection_;
    std::string session_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int frames_ = 0;
};

double ProcessCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](FILETIME t) { return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

// The page window's template with its browser bound, as the program binds it.
class BenchDialog : public CDialog {
public:
    BenchDialog() : CDialog(IDD_WEBWND) {}
    CWnd browser;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_WEB_BROWSER, browser); }
};

void Click(POINT screen)
{
    SetCursorPos(screen.x, screen.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof input[0]);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int runs = argc > 1 ? std::max(3, _wtoi(argv[1])) : 15;
    char base[256] = {};
    if (!GetEnvironmentVariableA("MORVANE_BENCH_PAGE", base, sizeof base)) {
        std::fprintf(stderr, "MORVANE_BENCH_PAGE (the bench page's address) is not set\n");
        return 1;
    }
    sock::Library winsock;
    OleSession ole;
    COccManager manager;
    AfxEnableControlContainer(&manager);
    if (!pageengine::RegisterPageEngineClass()) {
        std::fprintf(stderr, "the page engine runs only under Wine\n");
        return 1;
    }

    // The control on the page window's template: one browser at 0,0.
    BenchDialog dialog;
    if (!dialog.Create(IDD_WEBWND, nullptr))
        return 1;
    dialog.SetWindowPos(HWND_TOPMOST, 100, 100, 640, 400, SWP_SHOWWINDOW);
    CWnd& control = dialog.browser;
    HWND browser = control.m_hWnd;
    ::SetWindowPos(browser, nullptr, 0, 0, 620, 380, SWP_NOZORDER);
    RECT client;
    GetClientRect(browser, &client);
    POINT middle{client.right / 2, client.bottom / 2};
    ClientToScreen(browser, &middle);
    auto navigate = [&](const std::string& url) {
        VARIANT address;
        VariantInit(&address);
        address.vt = VT_BSTR;
        const std::wstring wide(url.begin(), url.end());
        address.bstrVal = SysAllocString(wide.c_str());
        control.InvokeHelper(104, DISPATCH_METHOD, nullptr, {address});
        VariantClear(&address);
    };
    // The engine starts with the first page; that start is not measured.
    navigate(std::string(base) + "?c=" + Hex(RunColour(0)));
    if (!WaitForColour(middle, RunColour(0), 60000)) {
        std::fprintf(stderr, "the control never showed the page\n");
        return 1;
    }

    std::vector<double> controlFirst, controlClick, floorFirst, floorClick;
    for (int i = 1; i <= runs; ++i) {
        const COLORREF colour = RunColour(i);
        const auto start = Clock::now();
        navigate(std::string(base) + "?c=" + Hex(colour));
        if (WaitForColour(middle, colour, 10000))
            controlFirst.push_back(Ms(start));
        Sleep(200);
        // The page turns red on a press, and back on the next.
        const COLORREF before = ScreenPixel(middle);
        const auto pressed = Clock::now();
        Click(middle);
        const auto changedAt = Clock::now();
        while (Ms(changedAt) < 10000) {
            Pump();
            if (!Near(ScreenPixel(middle), before)) {
                controlClick.push_back(Ms(pressed));
                break;
            }
            Sleep(1);
        }
        Sleep(200);
    }
    // Idle: the page as it is, nothing moving.
    Sleep(500);
    Pump();
    const double cpuBefore = ProcessCpuMs();
    const auto idleStart = Clock::now();
    while (Ms(idleStart) < 3000) {
        Pump();
        Sleep(20);
    }
    const double idleCpu = ProcessCpuMs() - cpuBefore;
    DestroyWindow(dialog.m_hWnd);
    Pump();

    DirectPage direct;
    if (!direct.Open(620, 380)) {
        std::fprintf(stderr, "the direct page could not be opened\n");
        return 1;
    }
    direct.ToNextFrame("Page.navigate", {{"url", std::string(base) + "?c=" + Hex(RunColour(0))}});
    for (int i = 1; i <= runs; ++i) {
        const double first =
            direct.ToNextFrame("Page.navigate", {{"url", std::string(base) + "?c=" + Hex(RunColour(i))}});
        if (first >= 0)
            floorFirst.push_back(first);
        direct.Settle(200);
        direct.Fire("Input.dispatchMouseEvent", {{"type", "mouseMoved"}, {"x", 310}, {"y", 190}});
        direct.Settle(50);
        const double click = direct.ToNextFrame(
            "Input.dispatchMouseEvent",
            {{"type", "mousePressed"}, {"x", 310}, {"y", 190}, {"button", "left"}, {"buttons", 1}, {"clickCount", 1}});
        if (click >= 0)
            floorClick.push_back(click);
        direct.Fire("Input.dispatchMouseEvent", {{"type", "mouseReleased"},
                                                          {"x", 310},
                                                          {"y", 190},
                                                          {"button", "left"},
                                                          {"buttons", 0},
                                                          {"clickCount", 1}});
        direct.Settle(200);
    }

    const double cf = Median(controlFirst), cc = Median(controlClick);
    const double ff = Median(floorFirst), fc = Median(floorClick);
    std::printf("runs: %d (control %zu/%zu, floor %zu/%zu measured)\n", runs, controlFirst.size(),
                controlClick.size(), floorFirst.size(), floorClick.size());
    std::printf("navigate to first frame on screen, control:   %8.1f ms\n", cf);
    std::printf("navigate to first frame, Chromium alone:      %8.1f ms\n", ff);
    std::printf("ratio (goal <= 1.5):                          %8.2f\n", ff > 0 ? cf / ff : 0.0);
    std::printf("press to changed picture on screen, control:  %8.1f ms\n", cc);
    std::printf("press to changed frame, Chromium alone:       %8.1f ms\n", fc);
    std::printf("ratio (goal <= 2):                            %8.2f\n", fc > 0 ? cc / fc : 0.0);
    std::printf("program processor time over 3 s of an unchanging page: %.1f ms\n", idleCpu);
    AfxDisableControlContainer();
    return 0;
}
