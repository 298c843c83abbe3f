// The page engine against Chromium alone over the same protocol, under Wine:
//   - Navigate to the first painted frame of the demo login page: the
//     control (hosted on the page window's template, as the program hosts
//     it) from the host's Navigate call until the page's background is on
//     the screen, against a DevTools client of its own (Page.navigate until
//     the first screencast frame showing that background arrives);
//   - a press on a page to its changed picture: real pointer input until
//     the new colour is on the screen, against Input.dispatchMouseEvent
//     until the frame with the new colour arrives;
//   - the program's processor time while the page does not change.
// Each navigation to the login page starts from a plain page of another
// colour, so that its first frame is a change. Medians of RUNS in one run;
// prints all figures and the two ratios.
// Usage: page-engine-bench.sh BENCH_EXE [RUNS] (serves the pages, runs this)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Com_win.h"
#include "platform/Framework_win.h"
#include "platform/devtools/DevToolsConnection.h"
#include "platform/devtools/EngineLifeline.h"
#include "platform/devtools/FramePicture.h"
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

// Waits a moment for the next message, as a message loop waits: a message
// posted meanwhile wakes it at once.
void WaitAMoment() { MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT); }

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
        WaitAMoment();
    }
    return false;
}

// Pumps for the time, as a window's thread would between inputs.
void PumpFor(int ms)
{
    const auto start = Clock::now();
    while (Ms(start) < ms) {
        Pump();
        WaitAMoment();
    }
}

// The browser's size, the bench page's middle (its colour, red while
// pressed) and a point of the login page's plain background.
constexpr int kWidth = 620, kHeight = 380;
constexpr POINT kMiddle{kWidth / 2, kHeight / 2};
constexpr POINT kLoginProbe{520, 300};
constexpr COLORREF kLoginColour = RGB(0x14, 0x20, 0x30);
constexpr COLORREF kPressedColour = RGB(0xc0, 0x10, 0x10);

// The floor: one page of a browser of its own, over DevTools directly. A
// frame counts when it shows the colour expected at the point (decoded as
// the control decodes it); its time is its arrival, before the decoding.
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
            const auto arrived = Clock::now();
            connection_.Send("Page.screencastFrameAck", {{"sessionId", event["params"].value("sessionId", 0)}},
                             session_);
            const auto picture = devtools::DecodeFramePicture(event["params"].value("data", ""));
            std::lock_guard<std::mutex> lock(mutex_);
            if (!picture || seen_ || expectAt_.x >= picture->width || expectAt_.y >= picture->height)
                return;
            const uint8_t* p = picture->Pixels().data() + (expectAt_.y * picture->width + expectAt_.x) * 4;
            if (Near(RGB(p[2], p[1], p[0]), expected_)) {
                seen_ = true;
                seenAt_ = arrived;
            }
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
                         {{"format", "jpeg"}, {"quality", 90}, {"maxWidth", width}, {"maxHeight", height},
                          {"everyNthFrame", 1}},
                         session_);
        return true;
    }
    // Sends the command and waits, as the control's measure waits (pumping
    // and reading the screen, so that both carry the measuring's own cost),
    // for a frame with the colour at the point; its time in ms, or -1.
    double ToColour(const std::string& method, Json params, POINT at, COLORREF colour, POINT screenProbe)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            expectAt_ = at;
            expected_ = colour;
            seen_ = false;
        }
        const auto start = Clock::now();
        connection_.Send(method, std::move(params), session_);
        while (Ms(start) < 10000) {
            Pump();
            ScreenPixel(screenProbe);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (seen_)
                    return std::chrono::duration<double, std::milli>(seenAt_ - start).count();
            }
            WaitAMoment();
        }
        return -1;
    }
    void Fire(const std::string& method, Json params) { connection_.Send(method, std::move(params), session_); }

private:
    devtools::EngineLifeline lifeline_;
    devtools::Connection connection_;
    std::string session_;
    std::mutex mutex_;
    POINT expectAt_{};
    COLORREF expected_ = 0;
    bool seen_ = false;
    Clock::time_point seenAt_;
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

// The left button down or up where the pointer is.
void Button(DWORD flag)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int runs = argc > 1 ? std::max(3, _wtoi(argv[1])) : 15;
    char colourPage[256] = {}, loginPage[256] = {};
    if (!GetEnvironmentVariableA("MORVANE_BENCH_PAGE", colourPage, sizeof colourPage) ||
        !GetEnvironmentVariableA("MORVANE_BENCH_LOGIN", loginPage, sizeof loginPage)) {
        std::fprintf(stderr, "MORVANE_BENCH_PAGE and MORVANE_BENCH_LOGIN (the pages' addresses) are not set\n");
        return 1;
    }
    const std::string colourBase = colourPage, login = loginPage;
    sock::Library winsock;
    OleSession ole;
    COccManager manager;
    AfxEnableControlContainer(&manager);
    // The class and the container go back however the run ends.
    struct Registered {
        ~Registered()
        {
            pageengine::RevokePageEngineClass();
            AfxDisableControlContainer();
        }
    } registered;
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
    ::SetWindowPos(browser, nullptr, 0, 0, kWidth, kHeight, SWP_NOZORDER);
    POINT middle = kMiddle, loginProbe = kLoginProbe;
    ClientToScreen(browser, &middle);
    ClientToScreen(browser, &loginProbe);
    auto navigate = [&](const std::string& url) {
        VARIANT address;
        VariantInit(&address);
        address.vt = VT_BSTR;
        const std::wstring wide(url.begin(), url.end());
        address.bstrVal = SysAllocString(wide.c_str());
        control.InvokeHelper(BrowserControl::kDispidNavigate, DISPATCH_METHOD, nullptr, {address});
        VariantClear(&address);
    };
    // The engine starts with the first page, and each page is loaded once
    // (fonts, caches): none of that is measured.
    navigate(colourBase + "?c=" + Hex(RunColour(0)));
    if (!WaitForColour(middle, RunColour(0), 60000)) {
        std::fprintf(stderr, "the control never showed the page\n");
        return 1;
    }
    navigate(login);
    if (!WaitForColour(loginProbe, kLoginColour, 10000)) {
        std::fprintf(stderr, "the control never showed the login page\n");
        return 1;
    }

    std::vector<double> controlFirst, controlClick, floorFirst, floorClick;
    for (int i = 1; i <= runs; ++i) {
        navigate(colourBase + "?c=" + Hex(RunColour(i)));
        WaitForColour(middle, RunColour(i), 10000);
        PumpFor(200);
        // The page turns red on a press; the pointer is there beforehand.
        SetCursorPos(middle.x, middle.y);
        PumpFor(50);
        // The press alone is measured, as the floor's is; the release follows.
        const auto pressed = Clock::now();
        Button(MOUSEEVENTF_LEFTDOWN);
        if (WaitForColour(middle, kPressedColour, 10000))
            controlClick.push_back(Ms(pressed));
        Button(MOUSEEVENTF_LEFTUP);
        PumpFor(200);
        const auto start = Clock::now();
        navigate(login);
        if (WaitForColour(loginProbe, kLoginColour, 10000))
            controlFirst.push_back(Ms(start));
        PumpFor(200);
    }
    // Idle: the page as it is, nothing moving.
    PumpFor(500);
    const double cpuBefore = ProcessCpuMs();
    const auto idleStart = Clock::now();
    // Waiting as a message loop waits: asleep until a message comes.
    for (double left = 3000; left > 0; left = 3000 - Ms(idleStart)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
        Pump();
    }
    const double idleCpu = ProcessCpuMs() - cpuBefore;
    DestroyWindow(dialog.m_hWnd);
    Pump();

    DirectPage direct;
    if (!direct.Open(kWidth, kHeight)) {
        std::fprintf(stderr, "the direct page could not be opened\n");
        return 1;
    }
    direct.ToColour("Page.navigate", {{"url", colourBase + "?c=" + Hex(RunColour(0))}}, kMiddle, RunColour(0),
                    middle);
    direct.ToColour("Page.navigate", {{"url", login}}, kLoginProbe, kLoginColour, middle);
    for (int i = 1; i <= runs; ++i) {
        direct.ToColour("Page.navigate", {{"url", colourBase + "?c=" + Hex(RunColour(i))}}, kMiddle, RunColour(i),
                        middle);
        PumpFor(200);
        direct.Fire("Input.dispatchMouseEvent", {{"type", "mouseMoved"}, {"x", kMiddle.x}, {"y", kMiddle.y}});
        PumpFor(50);
        const double click = direct.ToColour("Input.dispatchMouseEvent",
                                             {{"type", "mousePressed"}, {"x", kMiddle.x}, {"y", kMiddle.y},
                                              {"button", "left"}, {"buttons", 1}, {"clickCount", 1}},
                                             kMiddle, kPressedColour, middle);
        if (click >= 0)
            floorClick.push_back(click);
        direct.Fire("Input.dispatchMouseEvent", {{"type", "mouseReleased"}, {"x", kMiddle.x}, {"y", kMiddle.y},
                                                 {"button", "left"}, {"buttons", 0}, {"clickCount", 1}});
        PumpFor(200);
        const double first = direct.ToColour("Page.navigate", {{"url", login}}, kLoginProbe, kLoginColour, middle);
        if (first >= 0)
            floorFirst.push_back(first);
        PumpFor(200);
    }

    const double cf = Median(controlFirst), cc = Median(controlClick);
    const double ff = Median(floorFirst), fc = Median(floorClick);
    std::printf("runs: %d (control %zu/%zu, floor %zu/%zu measured)\n", runs, controlFirst.size(),
                controlClick.size(), floorFirst.size(), floorClick.size());
    std::printf("Navigate to the login page's first frame on screen, control: %8.1f ms\n", cf);
    std::printf("navigate to the login page's first frame, Chromium alone:    %8.1f ms\n", ff);
    std::printf("ratio (goal <= 1.5):                                         %8.2f\n", ff > 0 ? cf / ff : 0.0);
    std::printf("press to the changed picture on screen, control:             %8.1f ms\n", cc);
    std::printf("press to the changed frame, Chromium alone:                  %8.1f ms\n", fc);
    std::printf("ratio (goal <= 2):                                           %8.2f\n", fc > 0 ? cc / fc : 0.0);
    std::printf("program processor time over 3 s of an unchanging page:       %8.1f ms\n", idleCpu);
    return 0;
}
