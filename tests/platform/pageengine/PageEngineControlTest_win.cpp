// The page engine's control as its host sees it, under Wine with the real
// browser: hosted on the page window's template, showing pages from a small
// server of the test's own, answering navigation and new-window events,
// calling the window's error handler, taking a UI handler through the
// document, and saying so when there is no engine.
#include <gtest/gtest.h>

#include <windows.h>
#include <mshtmhst.h>
#include <mshtml.h>
#include <exdispid.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Com_win.h"
#include "platform/EventSinkMap_win.h"
#include "platform/Framework_win.h"
#include "platform/pageengine/PageEngineControl_win.h"
#include "platform/socket/Socket.h"
#include "resources/ResourceIds.h"
#include "tests/support/FrameworkPump_win.h"
#include "tests/support/ProcessesMentioning.h"

namespace {

// The Unix processes, through Wine's view of the Unix root.
constexpr char kUnixProc[] = "Z:\\proc";


// Pages by path over HTTP on a loopback port; every request is noted.
class PageServer {
public:
    explicit PageServer(std::map<std::string, std::string> pages) : pages_(std::move(pages))
    {
        listener_ = sock::Socket(sock::ListenLoopback(&port_));
        thread_ = std::thread([this] { Serve(); });
    }
    ~PageServer()
    {
        stopping_ = true;
        thread_.join();
    }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    bool Requested(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const std::string& p : requested_) {
            if (p == path)
                return true;
        }
        return false;
    }

private:
    // A connection at a time would keep a page waiting behind one the
    // browser opened ahead and left idle.
    void Serve()
    {
        std::vector<std::thread> connections;
        while (!stopping_) {
            sock::Socket c(sock::Accept(listener_.Get(), 100));
            if (c.Valid())
                connections.emplace_back([this, c = std::move(c)] { Answer(c); });
        }
        for (std::thread& t : connections)
            t.join();
    }
    void Answer(const sock::Socket& c)
    {
        std::string request;
        char buffer[2048];
        while (request.find("\r\n\r\n") == std::string::npos && !stopping_) {
            if (!sock::WaitReadable(c.Get(), 100))
                continue;
            const int n = sock::Recv(c.Get(), buffer, sizeof buffer);
            if (n <= 0)
                return;
            request.append(buffer, static_cast<size_t>(n));
        }
        const size_t start = request.find(' ') + 1;
        if (start == 0)
            return;
        const std::string path = request.substr(start, request.find(' ', start) - start);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requested_.push_back(path);
        }
        const auto page = pages_.find(path);
        const std::string body = page != pages_.end() ? page->second : "<title>missing</title>";
        const std::string response = std::string(page != pages_.end() ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 No") +
                                     "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                                     std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
        sock::Send(c.Get(), response.data(), static_cast<int>(response.size()));
    }

    std::map<std::string, std::string> pages_;
    sock::Library winsock_;
    sock::Socket listener_;
    uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requested_;
};

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring Text(const VARIANT* v)
{
    if (!v)
        return {};
    if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal)
        return Text(v->pvarVal);
    if (v->vt == VT_BSTR && v->bstrVal)
        return v->bstrVal;
    if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal && *v->pbstrVal)
        return *v->pbstrVal;
    return {};
}

// The page window's template with the control, and a host that notes its
// events and answers them as the test says.
class Host : public CDialog {
public:
    Host() : CDialog(IDD_WEBWND) {}
    CWnd browser;
    std::function<bool(const std::wstring& url)> refuse = [](const std::wstring&) { return false; };
    bool refuseNewWindows = false;
    std::vector<std::wstring> asked;     // BeforeNavigate2 addresses
    std::vector<std::wstring> complete;  // DocumentComplete addresses
    int newWindows = 0;

    HRESULT Navigate(const std::string& url)
    {
        VARIANT address;
        VariantInit(&address);
        address.vt = VT_BSTR;
        address.bstrVal = SysAllocString(Wide(url).c_str());
        const HRESULT hr = browser.InvokeHelper(BrowserControl::kDispidNavigate, DISPATCH_METHOD, nullptr, {address});
        VariantClear(&address);
        return hr;
    }
    ComPtr<IHTMLDocument2> Document()
    {
        VARIANT result;
        VariantInit(&result);
        ComPtr<IHTMLDocument2> document;
        if (SUCCEEDED(browser.InvokeHelper(BrowserControl::kDispidDocument, DISPATCH_PROPERTYGET, &result)) && result.vt == VT_DISPATCH &&
            result.pdispVal)
            result.pdispVal->QueryInterface(IID_PPV_ARGS(document.GetAddressOf()));
        VariantClear(&result);
        return document;
    }
    bool Completed(const std::string& url) const
    {
        for (const std::wstring& u : complete) {
            if (u == Wide(url))
                return true;
        }
        return false;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_WEB_BROWSER, browser); }
    const EventSinkMap* GetEventSinkMap() const override
    {
        static const EventSinkEntry entries[] = {
            OnEvent<&Host::OnBeforeNavigate2>(IDC_WEB_BROWSER, DISPID_BEFORENAVIGATE2),
            OnEvent<&Host::OnNewWindow2>(IDC_WEB_BROWSER, DISPID_NEWWINDOW2),
            OnEvent<&Host::OnDocumentComplete>(IDC_WEB_BROWSER, DISPID_DOCUMENTCOMPLETE),
        };
        static const EventSinkMap map{CDialog::GetEventSinkMap(), entries};
        return &map;
    }

private:
    void OnBeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL* cancel)
    {
        asked.push_back(Text(url));
        *cancel = refuse(Text(url)) ? VARIANT_TRUE : VARIANT_FALSE;
    }
    void OnNewWindow2(IDispatch**, VARIANT_BOOL* cancel)
    {
        ++newWindows;
        *cancel = refuseNewWindows ? VARIANT_TRUE : VARIANT_FALSE;
    }
    void OnDocumentComplete(IDispatch*, VARIANT* url) { complete.push_back(Text(url)); }
};

// One pass over the queued messages.
void Pump() { PumpFramework([] { return true; }); }

// The pointer on a point of the window, settled there.
void PointAt(HWND window, POINT client)
{
    ClientToScreen(window, &client);
    SetCursorPos(client.x, client.y);
    Settle(200);
}

// Presses of the left button in a row, at the pointer.
void Press(int times)
{
    std::vector<INPUT> input(static_cast<size_t>(times) * 2);
    for (size_t i = 0; i < input.size(); ++i) {
        input[i].type = INPUT_MOUSE;
        input[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof input[0]);
}

void TypeKey(WORD vk)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof input[0]);
}

// Ends the host's window when the scope ends, before the objects declared
// ahead of it that the control may hold.
struct EndsFirst {
    CDialog& host;
    ~EndsFirst()
    {
        if (host.m_hWnd)
            host.DestroyWindow();
        Pump();
    }
};

// Colours of the control's area as the screen shows it, copied at once.
class ScreenShot {
public:
    explicit ScreenShot(HWND window)
    {
        GetClientRect(window, &rect_);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), rect_.right, -rect_.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, rect_.right, rect_.bottom, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const uint8_t*>(bits);
        pixels_.reserve(static_cast<size_t>(rect_.right) * rect_.bottom);
        for (LONG i = 0; p && i < rect_.right * rect_.bottom; ++i)
            pixels_.push_back(RGB(p[i * 4 + 2], p[i * 4 + 1], p[i * 4]));
        SelectObject(memory, old);
        DeleteObject(dib);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    COLORREF At(LONG x, LONG y) const { return pixels_.at(static_cast<size_t>(y) * rect_.right + x); }
    // Pixels close to the colour, anywhere.
    int Count(COLORREF colour) const
    {
        int n = 0;
        for (COLORREF c : pixels_) {
            n += abs(GetRValue(c) - GetRValue(colour)) < 40 && abs(GetGValue(c) - GetGValue(colour)) < 40 &&
                 abs(GetBValue(c) - GetBValue(colour)) < 40;
        }
        return n;
    }
    const RECT& Rect() const { return rect_; }

private:
    RECT rect_{};
    std::vector<COLORREF> pixels_;
};

class PageEngineControl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        AfxEnableControlContainer(&manager_);
        ASSERT_TRUE(pageengine::RegisterPageEngineClass());
    }
    static void TearDownTestSuite()
    {
        // The last control's browser ends with it, every process of it.
        for (int i = 0; i < 100 && ProcessesMentioning(kUnixProc, "morvane-engine.") > 0; ++i)
            Sleep(100);
        EXPECT_EQ(ProcessesMentioning(kUnixProc, "morvane-engine."), 0);
        pageengine::RevokePageEngineClass();
        AfxDisableControlContainer();
        OleUninitialize();
    }
    void SetUp() override { Show(host_); }
    // The host on top of the screen, its browser 480 x 320 at its corner.
    static void Show(Host& host)
    {
        ASSERT_TRUE(host.Create(IDD_WEBWND, nullptr));
        host.SetWindowPos(HWND_TOPMOST, 40, 40, 500, 340, SWP_SHOWWINDOW);
        ::SetWindowPos(host.browser.m_hWnd, nullptr, 0, 0, 480, 320, SWP_NOZORDER);
    }
    void TearDown() override
    {
        if (host_.m_hWnd)
            host_.DestroyWindow();
        Pump();
    }
    // Navigates and waits for the page's DocumentComplete.
    void Load(const PageServer& server, const std::string& path)
    {
        const std::string url = server.Url(path);
        ASSERT_EQ(host_.Navigate(url), S_OK);
        ASSERT_TRUE(PumpFramework([&] { return host_.Completed(url); }, 60000)) << url;
    }
    std::wstring Title()
    {
        const ComPtr<IHTMLDocument2> document = host_.Document();
        BSTR title = nullptr;
        if (!document || FAILED(document->get_title(&title)))
            return L"<none>";
        std::wstring text = title ? title : L"";
        SysFreeString(title);
        return text;
    }

    static COccManager manager_;
    Host host_;
};

COccManager PageEngineControl::manager_;

TEST_F(PageEngineControl, EveryNavigationIsTheHostsAndARefusedOneLeavesThePage)
{
    PageServer server({
        {"/a", "<title>A</title><a id=l href='/by-link'>go</a>"
               "<script>setTimeout(function () { location.href = '/by-script'; }, 600);</script>"},
        {"/by-script", "<title>by script</title>"},
        {"/by-link", "<title>by link</title>"},
        {"/refused", "<title>refused</title>"},
    });
    host_.refuse = [](const std::wstring& url) { return url.find(L"/refused") != std::wstring::npos ||
                                                         url.find(L"/by-script") != std::wstring::npos; };
    Load(server, "/a");
    EXPECT_EQ(Title(), L"A");

    // Navigate itself, then the page's own script, both asked and refused.
    EXPECT_EQ(host_.Navigate(server.Url("/refused")), S_OK);
    ASSERT_TRUE(PumpFramework([&] { return host_.asked.size() >= 3; }, 10000));
    Settle(1000);
    EXPECT_EQ(host_.asked[0], Wide(server.Url("/a")));
    EXPECT_EQ(host_.asked[1], Wide(server.Url("/refused")));
    EXPECT_EQ(host_.asked[2], Wide(server.Url("/by-script")));
    EXPECT_FALSE(server.Requested("/refused"));
    EXPECT_FALSE(server.Requested("/by-script"));
    EXPECT_EQ(host_.complete.size(), 1u);
    EXPECT_EQ(Title(), L"A");

    // A link the host lets go loads.
    PointAt(host_.browser.m_hWnd, {12, 14});  // the link is the page's first text
    Press(1);
    ASSERT_TRUE(PumpFramework([&] { return host_.Completed(server.Url("/by-link")); }, 10000));
    EXPECT_EQ(host_.asked.back(), Wide(server.Url("/by-link")));
    EXPECT_EQ(Title(), L"by link");
}

TEST_F(PageEngineControl, NewWindowsAreTheHostsToRefuseAndOtherwiseOpenHere)
{
    PageServer server({
        {"/opener", "<title>opener</title><script>setTimeout(function () { window.open('/popup'); }, 300);</script>"},
        {"/blank", "<title>blank</title><a id=l target=_blank href='/popup'>new</a>"},
        {"/popup", "<title>popup</title>"},
    });
    host_.refuseNewWindows = true;
    Load(server, "/opener");
    ASSERT_TRUE(PumpFramework([&] { return host_.newWindows == 1; }, 10000));
    Settle(1000);
    EXPECT_FALSE(server.Requested("/popup"));
    EXPECT_EQ(Title(), L"opener");

    // Let go: the page goes there in this control, asked first as any
    // navigation is.
    host_.refuseNewWindows = false;
    Load(server, "/blank");
    PointAt(host_.browser.m_hWnd, {12, 14});
    Press(1);
    ASSERT_TRUE(PumpFramework([&] { return host_.Completed(server.Url("/popup")); }, 10000));
    EXPECT_EQ(host_.newWindows, 2);
    EXPECT_EQ(host_.asked.back(), Wide(server.Url("/popup")));
    EXPECT_EQ(Title(), L"popup");
}

// A COM object of the test's, on the test's stack: counts its references so
// that a test can see they were all given back.
template <class Interface>
class StackObject : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, __uuidof(Interface)))
            return E_NOINTERFACE;
        *ppv = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override { return --refs_; }
    ULONG refs_ = 0;
};

// A window error handler as a host sets one: notes its arguments.
class ErrorHandler : public StackObject<IDispatch> {
public:
    std::vector<std::vector<std::wstring>> calls;

    STDMETHODIMP GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        if (id != DISPID_VALUE || !params)
            return DISP_E_MEMBERNOTFOUND;
        std::vector<std::wstring> args;
        for (UINT i = params->cArgs; i-- > 0;) {  // first to last
            const VARIANT& v = params->rgvarg[i];
            args.push_back(v.vt == VT_BSTR ? std::wstring(v.bstrVal ? v.bstrVal : L"")
                                           : v.vt == VT_I4 ? std::to_wstring(v.lVal) : L"?");
        }
        calls.push_back(args);
        if (result) {
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
        }
        return S_OK;
    }
};

TEST_F(PageEngineControl, AnUncaughtScriptErrorCallsTheWindowsErrorHandler)
{
    PageServer server(std::map<std::string, std::string>{
        {"/faulty", "<title>faulty</title><script>\nsetTimeout(function () {\n  noSuchFunction();\n}, 1200);\n"
                    "setTimeout(function () { try { alsoMissing(); } catch (e) {} }, 100);</script>"},
    });
    Load(server, "/faulty");
    const ComPtr<IHTMLDocument2> document = host_.Document();
    ASSERT_TRUE(document);
    ComPtr<IHTMLWindow2> window;
    ASSERT_EQ(document->get_parentWindow(window.GetAddressOf()), S_OK);
    ErrorHandler handler;
    const EndsFirst ends{host_};
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = &handler;
    ASSERT_EQ(window->put_onerror(v), S_OK);

    ASSERT_TRUE(PumpFramework([&] { return !handler.calls.empty(); }, 10000));
    Settle(300);
    ASSERT_EQ(handler.calls.size(), 1u);  // the caught one is not reported
    const std::vector<std::wstring>& call = handler.calls[0];
    ASSERT_EQ(call.size(), 3u);
    EXPECT_NE(call[0].find(L"noSuchFunction"), std::wstring::npos) << call[0];
    EXPECT_EQ(call[1], Wide(server.Url("/faulty")));
    EXPECT_EQ(call[2], L"3");

    VariantInit(&v);
    v.vt = VT_NULL;
    EXPECT_EQ(window->put_onerror(v), S_OK);
    window.Reset();
    host_.DestroyWindow();
    Pump();
    EXPECT_EQ(handler.refs_, 0u);  // the control let go of it
}

// A host's UI handler given through the document.
class UIHandler : public StackObject<IDocHostUIHandler> {
public:
    explicit UIHandler(DWORD flags) : flags_(flags) {}
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override
    {
        info->dwFlags = flags_;
        return S_OK;
    }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override
    {
        return S_FALSE;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget**) override { return E_NOTIMPL; }
    STDMETHODIMP GetExternal(IDispatch** external) override
    {
        *external = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override
    {
        *out = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override
    {
        *out = nullptr;
        return S_FALSE;
    }

private:
    DWORD flags_;
};

TEST_F(PageEngineControl, AUIHandlerGivenThroughTheDocumentHidesTheScrollBars)
{
    // A page taller than the control, white: a scroll bar shows as grey at
    // the right edge.
    PageServer server(std::map<std::string, std::string>{{"/tall", "<title>tall</title><body style='margin:0;background:#fff'>"
                                 "<div style='height:3000px'></div></body>"}});
    Load(server, "/tall");
    Settle(800);
    // A scroll bar's track is a shade off white, its thumb and arrows grey;
    // the page is white to the edge without one.
    auto edgeIsWhite = [&] {
        const ScreenShot shot(host_.browser.m_hWnd);
        for (LONG y = 0; y < shot.Rect().bottom; y += 8) {
            for (LONG x = shot.Rect().right - 14; x < shot.Rect().right; x += 2) {
                const COLORREF c = shot.At(x, y);
                if (GetRValue(c) < 0xfe || GetGValue(c) < 0xfe || GetBValue(c) < 0xfe)
                    return false;
            }
        }
        return true;
    };
    EXPECT_FALSE(edgeIsWhite()) << "no scroll bar to begin with";

    UIHandler handler(DOCHOSTUIFLAG_SCROLL_NO | DOCHOSTUIFLAG_NO3DBORDER);
    const EndsFirst ends{host_};
    ComPtr<ICustomDoc> custom;
    ASSERT_EQ(host_.Document().As(&custom), S_OK);
    ASSERT_EQ(custom->SetUIHandler(&handler), S_OK);
    // It holds for the documents that follow, until the host takes it back.
    Load(server, "/tall");
    EXPECT_TRUE(PumpFramework(edgeIsWhite, 5000));
    ASSERT_EQ(custom->SetUIHandler(nullptr), S_OK);
    EXPECT_EQ(handler.refs_, 0u);
}

TEST_F(PageEngineControl, PressesInARowSelectAWordThenTheLineAndKeysEditTheField)
{
    PageServer server(std::map<std::string, std::string>{
        {"/field", "<title>field</title><body style='margin:0'>"
                   "<input id=f value='alpha beta gamma' style='position:absolute;left:0;top:0;width:400px;"
                   "height:30px;font:16px monospace;border:0;padding:0 0 0 4px'>"
                   "<script>document.getElementById('f').addEventListener('input', function () {"
                   " new Image().src = '/value?' + encodeURIComponent(this.value); });</script></body>"}});
    Load(server, "/field");
    PointAt(host_.browser.m_hWnd, {20, 15});  // on "alpha"

    Press(2);
    Settle(300);
    TypeKey('X');
    EXPECT_TRUE(PumpFramework([&] { return server.Requested("/value?x%20beta%20gamma"); }, 5000));

    Settle(static_cast<int>(GetDoubleClickTime()) + 200);  // a new row of presses
    Press(3);
    Settle(300);
    TypeKey('Y');
    EXPECT_TRUE(PumpFramework([&] { return server.Requested("/value?y"); }, 5000));

    // Backspace in the field edits it: the host's back rule is for the
    // page outside its fields.
    const size_t asked = host_.asked.size();
    TypeKey(VK_BACK);
    EXPECT_TRUE(PumpFramework([&] { return server.Requested("/value?"); }, 5000));
    Settle(300);
    EXPECT_EQ(host_.asked.size(), asked);
}

TEST_F(PageEngineControl, ARendererThatEndsIsSaidInTheControlAndLaterNavigationsFail)
{
    PageServer server(std::map<std::string, std::string>{{"/a", "<title>A</title><body style='background:#fff'>"}});
    Load(server, "/a");
    // The browser's own address that ends the page's renderer.
    ASSERT_EQ(host_.Navigate("chrome://crash"), S_OK);
    const DWORD start = GetTickCount();
    EXPECT_TRUE(PumpFramework([&] { return ScreenShot(host_.browser.m_hWnd).Count(RGB(128, 0, 0)) > 20; }, 10000));
    EXPECT_LT(GetTickCount() - start, 5000u);  // said within moments, not after a long wait
    EXPECT_TRUE(FAILED(host_.Navigate(server.Url("/a"))));
}

TEST_F(PageEngineControl, WithoutItsEngineItSaysSoAndNavigateFailsAtOnce)
{
    // Its own host: the browser of an earlier control ends with it.
    host_.DestroyWindow();
    Pump();
    // Read when the engine starts, on its own thread: set until the host has gone.
    struct NoScript {
        NoScript() { SetEnvironmentVariableW(L"MORVANE_PAGE_ENGINE_SCRIPT", L"/nonexistent/engine.py"); }
        ~NoScript() { SetEnvironmentVariableW(L"MORVANE_PAGE_ENGINE_SCRIPT", nullptr); }
    } noScript;
    Host host;
    const EndsFirst ends{host};
    ASSERT_NO_FATAL_FAILURE(Show(host));

    // The dark red text, painted within moments; then Navigate fails.
    const DWORD start = GetTickCount();
    EXPECT_TRUE(PumpFramework([&] { return ScreenShot(host.browser.m_hWnd).Count(RGB(128, 0, 0)) > 20; }, 10000));
    EXPECT_LT(GetTickCount() - start, 3000u);  // at once, not after the start-up's wait
    EXPECT_TRUE(FAILED(host.Navigate("http://127.0.0.1:9/")));
    EXPECT_TRUE(host.asked.empty());
}

}  // namespace
