#include "platform/pageengine/PageEngineControl_win.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/ClassFactory_win.h"
#include "platform/Com_win.h"
#include "platform/Text_win.h"
#include "platform/pageengine/EngineProcess_win.h"

namespace pageengine {

namespace {

using devtools::Json;

constexpr wchar_t kWindowClass[] = L"MorvanePageEngine";
constexpr char kBinding[] = "__morvane";

// Installed in every document before its own scripts run: tells the control
// where the focus is, which script errors go uncaught and which links and
// scripts ask for a new window, the things a host asks the control about.
constexpr char kPageScript[] = R"JS(
(() => {
  if (window.__morvaneInstalled) return;
  window.__morvaneInstalled = true;
  const send = (kind, data) => {
    try { window.__morvane(JSON.stringify(Object.assign({kind: kind}, data))); } catch (e) {}
  };
  const reportFocus = () => {
    const e = document.activeElement;
    if (!e || e === document.body || e === document.documentElement) {
      send('focus', {tag: '', type: '', editable: false});
    } else {
      send('focus', {tag: e.tagName || '', type: (e.getAttribute && e.getAttribute('type')) || '',
                     editable: !!e.isContentEditable});
    }
  };
  document.addEventListener('focusin', reportFocus, true);
  document.addEventListener('focusout', () => setTimeout(reportFocus, 0), true);
  window.addEventListener('error', (ev) => {
    send('error', {message: String(ev.message || ''), url: String(ev.filename || ''), line: ev.lineno || 0});
  });
  window.open = function (url) {
    send('newwindow', {url: url ? new URL(String(url), location.href).href : ''});
    return null;
  };
  document.addEventListener('click', (ev) => {
    const a = ev.target && ev.target.closest ? ev.target.closest('a[target]') : null;
    if (a && a.target.toLowerCase() === '_blank' && a.href) {
      ev.preventDefault();
      send('newwindow', {url: a.href});
    }
  }, true);
})();
)JS";

// window.external for page script: each read and call goes to the host,
// synchronously as on the platform, through the program's loopback port.
// The host's members answer both a read and a call (its flag is callable
// too), so a member that has a value is a function that also converts to
// that value: it tests true and compares equal to it.
constexpr char kExternalScript[] = R"JS(
(() => {
  const endpoint = %ENDPOINT%, key = %KEY%;
  const ask = (message) => {
    message.key = key;
    const request = new XMLHttpRequest();
    request.open('POST', endpoint, false);
    request.setRequestHeader('Content-Type', 'text/plain');
    request.send(JSON.stringify(message));
    return JSON.parse(request.responseText);
  };
  const member = (name) => {
    let answer;
    try { answer = ask({op: 'get', name: name}); } catch (e) {
      try { window.__morvane(JSON.stringify({kind: 'bridge-failed', message: String(e)})); } catch (ignored) {}
      return undefined;
    }
    if (!answer || answer.kind === 'missing') return undefined;
    const call = function () {
      const result = ask({op: 'call', name: name, args: Array.prototype.slice.call(arguments)});
      return result ? result.value : undefined;
    };
    if (answer.kind === 'value' && answer.value !== null && answer.value !== undefined) {
      const value = answer.value;
      call.valueOf = () => value;
      call.toString = () => String(value);
      call[Symbol.toPrimitive] = () => value;
    }
    return call;
  };
  const external = new Proxy({}, {
    get: (target, name) => (typeof name === 'string' && name !== 'then') ? member(name) : undefined,
    has: (target, name) => typeof name === 'string' && member(name) !== undefined,
  });
  Object.defineProperty(window, 'external', {value: external, configurable: true});
})();
)JS";

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with)
{
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

// What script gets back from the host: numbers, texts, true and false; the
// rest reads as null.
Json ToJson(const VARIANT& v)
{
    VARIANT plain;
    VariantInit(&plain);
    if (FAILED(VariantCopyInd(&plain, const_cast<VARIANT*>(&v))))  // read only
        return nullptr;
    Json out = nullptr;
    switch (plain.vt) {
    case VT_BOOL:
        out = plain.boolVal != 0;  // the host's flag has always been 1, not VARIANT_TRUE
        break;
    case VT_I1: case VT_I2: case VT_I4: case VT_INT: case VT_UI1: case VT_UI2: case VT_UI4: case VT_UINT: {
        VARIANT n;
        VariantInit(&n);
        if (SUCCEEDED(VariantChangeType(&n, &plain, 0, VT_I4)))
            out = n.lVal;
        break;
    }
    case VT_R4: case VT_R8: {
        VARIANT n;
        VariantInit(&n);
        if (SUCCEEDED(VariantChangeType(&n, &plain, 0, VT_R8)))
            out = n.dblVal;
        break;
    }
    case VT_BSTR:
        out = WideToUtf8(std::wstring(plain.bstrVal ? plain.bstrVal : L"", SysStringLen(plain.bstrVal)));
        break;
    default:
        break;
    }
    VariantClear(&plain);
    return out;
}

// An argument from script as the host takes it: texts as BSTRs, whole
// numbers as 32-bit integers, others as doubles.
void FromJson(const Json& value, VARIANT& out)
{
    VariantInit(&out);
    if (value.is_string()) {
        const std::wstring text = Utf8ToWide(value.get<std::string>());
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    } else if (value.is_boolean()) {
        out.vt = VT_BOOL;
        out.boolVal = value.get<bool>() ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (value.is_number_integer() && value.get<long long>() >= INT32_MIN && value.get<long long>() <= INT32_MAX) {
        out.vt = VT_I4;
        out.lVal = static_cast<LONG>(value.get<long long>());
    } else if (value.is_number()) {
        out.vt = VT_R8;
        out.dblVal = value.get<double>();
    } else if (value.is_null()) {
        out.vt = VT_NULL;
    }
}

int Modifiers()
{
    int m = 0;
    if (GetKeyState(VK_MENU) < 0)
        m |= 1;
    if (GetKeyState(VK_CONTROL) < 0)
        m |= 2;
    if (GetKeyState(VK_SHIFT) < 0)
        m |= 8;
    return m;
}

// The names the engine knows keys by, for keys that type no character.
const char* KeyName(UINT vk)
{
    switch (vk) {
    case VK_BACK: return "Backspace";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Escape";
    case VK_SPACE: return " ";
    case VK_PRIOR: return "PageUp";
    case VK_NEXT: return "PageDown";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "ArrowLeft";
    case VK_UP: return "ArrowUp";
    case VK_RIGHT: return "ArrowRight";
    case VK_DOWN: return "ArrowDown";
    case VK_INSERT: return "Insert";
    case VK_DELETE: return "Delete";
    case VK_SHIFT: return "Shift";
    case VK_CONTROL: return "Control";
    case VK_MENU: return "Alt";
    default: break;
    }
    if (vk >= VK_F1 && vk <= VK_F12) {
        static const char* kF[] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"};
        return kF[vk - VK_F1];
    }
    return nullptr;
}

}  // namespace

// --- instances ---

ComPtr<PageEngineControl> PageEngineControl::Create() { return ComPtr<PageEngineControl>(new PageEngineControl); }

PageEngineControl::PageEngineControl() : BrowserControl(kWindowClass)
{
    host_ = &EngineHost::Acquire(this);
}

PageEngineControl::~PageEngineControl()
{
    OnClose();
}

void PageEngineControl::OnClose()
{
    if (!host_)
        return;
    if (!targetId_.empty())
        host_->Send("Target.closeTarget", {{"targetId", targetId_}});
    if (!session_.empty())
        host_->Route(session_, nullptr);
    if (!targetId_.empty())
        host_->RouteBridge(targetId_, nullptr);
    session_.clear();
    targetId_.clear();
    EngineHost::Release(this);
    host_ = nullptr;
}

// --- the engine ---

void PageEngineControl::OnEngineReady()
{
    ready_ = true;
    if (Window())
        CreatePage();
}

void PageEngineControl::OnEngineFailed(const std::wstring& text)
{
    ready_ = false;
    sessionReady_ = false;
    failure_ = text;
    session_.clear();
    pendingUrl_.reset();
    if (Window())
        InvalidateRect(Window(), nullptr, TRUE);
}

void PageEngineControl::CreatePage()
{
    if (!host_ || creatingPage_ || !session_.empty())
        return;
    creatingPage_ = true;
    const ComPtr<PageEngineControl> keepAlive(this);
    host_->Send("Target.createTarget", {{"url", "about:blank"}}, {}, [this, keepAlive](const Json& reply) {
        if (!host_ || !reply.contains("result"))
            return;
        targetId_ = reply["result"].value("targetId", "");
        host_->Send("Target.attachToTarget", {{"targetId", targetId_}, {"flatten", true}}, {},
                    [this, keepAlive](const Json& attached) {
                        creatingPage_ = false;
                        if (!host_ || !attached.contains("result"))
                            return;
                        session_ = attached["result"].value("sessionId", "");
                        host_->Route(session_, this);
                        SetUpSession();
                    });
    });
}

void PageEngineControl::Send(const std::string& method, Json params, EngineHost::Reply reply)
{
    if (host_ && !session_.empty())
        host_->Send(method, std::move(params), session_, std::move(reply));
}

// The page's set-up is complete before its first navigation: a document
// that starts earlier would miss the scripts and the interception.
void PageEngineControl::SetUpSession()
{
    const ComPtr<PageEngineControl> keepAlive(this);
    auto step = [this, keepAlive](const Json&) {
        if (--setupPending_ > 0 || !host_)
            return;
        sessionReady_ = true;
        if (pendingUrl_) {
            const std::string url = *pendingUrl_;
            pendingUrl_.reset();
            NavigateNow(url);
        }
    };
    setupPending_ = 5;
    Send("Page.enable", Json::object(), step);
    // The binding's calls are Runtime events: the page script's reports.
    Send("Runtime.enable", Json::object(), step);
    Send("Runtime.addBinding", {{"name", kBinding}}, step);
    Send("Page.addScriptToEvaluateOnNewDocument", {{"source", kPageScript}}, step);
    Send("Fetch.enable", {{"patterns", Json::array({{{"urlPattern", "*"},
                                                     {"resourceType", "Document"},
                                                     {"requestStage", "Request"}}})}},
         step);
    if (host_ && !host_->BridgeEndpoint().empty()) {
        host_->RouteBridge(targetId_, this);
        std::string script = ReplaceAll(kExternalScript, "%ENDPOINT%", Json(host_->BridgeEndpoint()).dump());
        script = ReplaceAll(script, "%KEY%", Json(targetId_).dump());
        ++setupPending_;
        Send("Page.addScriptToEvaluateOnNewDocument", {{"source", script}}, step);
    }
    ApplySize();
}

void PageEngineControl::ApplySize()
{
    if (!Window() || session_.empty())
        return;
    RECT client;
    GetClientRect(Window(), &client);
    const SIZE size{std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom)};
    if (size.cx == viewport_.cx && size.cy == viewport_.cy)
        return;
    viewport_ = size;
    Send("Emulation.setDeviceMetricsOverride",
         {{"width", size.cx}, {"height", size.cy}, {"deviceScaleFactor", 1}, {"mobile", false}});
    StartScreencast();
}

void PageEngineControl::StartScreencast()
{
    Send("Page.stopScreencast");
    Send("Page.startScreencast",
         {{"format", "jpeg"}, {"quality", 90}, {"maxWidth", viewport_.cx}, {"maxHeight", viewport_.cy},
          {"everyNthFrame", 1}});
}

void PageEngineControl::NavigateNow(const std::string& url)
{
    Send("Page.navigate", {{"url", url}});
}

void PageEngineControl::OnEngineEvent(const Json& event)
{
    const std::string method = event.value("method", "");
    const Json& params = event.contains("params") ? event["params"] : Json::object();
    if (method == "Fetch.requestPaused")
        OnRequestPaused(params);
    else if (method == "Page.frameNavigated")
        OnFrameNavigated(params);
    else if (method == "Page.loadEventFired")
        OnLoadEventFired();
    else if (method == "Page.javascriptDialogOpening")
        OnDialogOpening(params);
    else if (method == "Runtime.bindingCalled")
        OnBindingCalled(params);
    else if (method == "Inspector.targetCrashed")
        OnEngineFailed(L"The page engine could not show this page: its renderer ended.");
}

// Every top-level navigation is the host's to allow before its request
// leaves; a refused one leaves the page as it was.
void PageEngineControl::OnRequestPaused(const Json& params)
{
    const std::string requestId = params.value("requestId", "");
    const bool topLevel = params.value("frameId", "") == targetId_ && params.value("resourceType", "") == "Document";
    if (!topLevel) {
        Send("Fetch.continueRequest", {{"requestId", requestId}});
        return;
    }
    const std::string url = params.contains("request") ? params["request"].value("url", "") : "";
    const ComPtr<PageEngineControl> keepAlive(this);
    bool cancel = false;
    if (reloading_)
        reloading_ = false;  // a reload asks nobody, as the platform's control does
    else
        cancel = FireBeforeNavigate2(Utf8ToWide(url));
    if (cancel) {
        Send("Fetch.failRequest", {{"requestId", requestId}, {"errorReason", "Aborted"}});
        return;
    }
    StartDocument();
    ApplyScrollbars();
    Send("Fetch.continueRequest", {{"requestId", requestId}});
}

// Told only when it changes: the browser lays the page out anew for it.
void PageEngineControl::ApplyScrollbars()
{
    const bool hidden = (HostInfoFlags() & DOCHOSTUIFLAG_SCROLL_NO) != 0;
    if (!scrollbarsHidden_ || *scrollbarsHidden_ != hidden) {
        scrollbarsHidden_ = hidden;
        Send("Emulation.setScrollbarsHidden", {{"hidden", hidden}});
    }
}

// The browser lays the current page out anew for it at its next change of
// layout; the next document has it from its start.
void PageEngineControl::OnHostInfoChanged() { ApplyScrollbars(); }

void PageEngineControl::OnFrameNavigated(const Json& params)
{
    if (!params.contains("frame") || params["frame"].contains("parentId"))
        return;
    currentUrl_ = params["frame"].value("url", "");
    SetTitle(L"");
    ClearFocusedElement();
    FireNavigateComplete2(Utf8ToWide(currentUrl_));
}

void PageEngineControl::OnLoadEventFired()
{
    const ComPtr<PageEngineControl> keepAlive(this);
    Send("Runtime.evaluate", {{"expression", "document.title"}, {"returnByValue", true}},
         [this, keepAlive](const Json& reply) {
             if (!host_)
                 return;
             if (reply.contains("result") && reply["result"].contains("result"))
                 SetTitle(Utf8ToWide(reply["result"]["result"].value("value", "")));
             FireDocumentComplete(Utf8ToWide(currentUrl_));
         });
}

void PageEngineControl::OnFrame(std::shared_ptr<const devtools::FramePicture> picture)
{
    frame_ = std::move(picture);
    if (Window()) {
        InvalidateRect(Window(), nullptr, FALSE);
        UpdateWindow(Window());
    }
}

// Script dialogs go to the host first; one it does not take is shown here.
void PageEngineControl::OnDialogOpening(const Json& params)
{
    const std::wstring message = Utf8ToWide(params.value("message", ""));
    const std::string type = params.value("type", "alert");
    const ComPtr<PageEngineControl> keepAlive(this);
    bool accept = type == "alert" || type == "beforeunload";
    if (Alert(message)) {
        const UINT buttons = type == "alert" ? MB_OK : MB_OKCANCEL;
        accept = MessageBoxW(Window(), message.c_str(), kMessageCaption, buttons | MB_ICONWARNING) == IDOK;
    }
    Send("Page.handleJavaScriptDialog", {{"accept", accept}});
}

void PageEngineControl::OnBindingCalled(const Json& params)
{
    if (params.value("name", "") != kBinding)
        return;
    const Json payload = Json::parse(params.value("payload", ""), nullptr, false);
    if (!payload.is_object())
        return;
    const std::string kind = payload.value("kind", "");
    if (kind == "focus") {
        const std::string tag = payload.value("tag", "");
        if (tag.empty())
            ClearFocusedElement();
        else
            SetFocusedElement(Utf8ToWide(tag), Utf8ToWide(payload.value("type", "")), payload.value("editable", false));
    } else if (kind == "bridge-failed") {
        Trace("window.external failed: " + payload.value("message", ""));
    } else if (kind == "error") {
        // The window's error handler hears of every uncaught script error
        // with the message, the address and the line, as on the platform;
        // what it answers only matters where errors would be shown.
        const ComPtr<IDispatch> handler = Page().onError;
        if (!handler)
            return;
        const std::wstring message = Utf8ToWide(payload.value("message", ""));
        const std::wstring url = Utf8ToWide(payload.value("url", ""));
        VARIANT args[3];
        for (VARIANT& v : args)
            VariantInit(&v);
        args[0].vt = VT_I4;
        args[0].lVal = payload.value("line", 0);
        args[1].vt = VT_BSTR;
        args[1].bstrVal = SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
        args[2].vt = VT_BSTR;
        args[2].bstrVal = SysAllocStringLen(message.data(), static_cast<UINT>(message.size()));
        DISPPARAMS params{args, nullptr, 3, 0};
        VARIANT result;
        VariantInit(&result);
        handler->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr,
                        nullptr);
        VariantClear(&result);
        for (VARIANT& v : args)
            VariantClear(&v);
    } else if (kind == "newwindow") {
        const ComPtr<PageEngineControl> keepAlive(this);
        // Not refused: the page goes there in this control, the one window
        // this engine can show.
        if (!FireNewWindow2() && host_) {
            const std::string url = payload.value("url", "");
            if (!url.empty())
                NavigateNow(url);
        }
    }
}

// A read is a property get; a call, a method call that may also give a value,
// as script engines call a host's members.
Json PageEngineControl::OnExternalCall(const Json& request)
{
    const ComPtr<PageEngineControl> keepAlive(this);
    const ComPtr<IDispatch> external = External();
    const std::string name = request.value("name", "");
    if (!external || name.empty())
        return {{"kind", "missing"}};
    std::wstring wide = Utf8ToWide(name);
    LPOLESTR names[1] = {wide.data()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(external->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        return {{"kind", "missing"}};
    VARIANT result;
    VariantInit(&result);
    if (request.value("op", "") != "call") {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        const HRESULT hr = external->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                                            nullptr, nullptr);
        Json answer = SUCCEEDED(hr) && result.vt != VT_EMPTY ? Json{{"kind", "value"}, {"value", ToJson(result)}}
                                                             : Json{{"kind", "method"}};
        VariantClear(&result);
        return answer;
    }
    // Arguments go last to first.
    const Json args = request.contains("args") && request["args"].is_array() ? request["args"] : Json::array();
    std::vector<VARIANT> variants(args.size());
    for (size_t i = 0; i < args.size(); ++i)
        FromJson(args[i], variants[args.size() - 1 - i]);
    DISPPARAMS params{variants.empty() ? nullptr : variants.data(), nullptr, static_cast<UINT>(variants.size()), 0};
    external->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result,
                     nullptr, nullptr);
    for (VARIANT& v : variants)
        VariantClear(&v);
    Json answer = {{"kind", "value"}, {"value", ToJson(result)}};
    VariantClear(&result);
    return answer;
}

// --- the host's calls ---

HRESULT PageEngineControl::OnNavigate(const std::wstring& url, bool)
{
    if (!failure_.empty())
        return E_FAIL;
    if (!sessionReady_) {
        pendingUrl_ = WideToUtf8(url);
        return S_OK;
    }
    NavigateNow(WideToUtf8(url));
    return S_OK;
}

HRESULT PageEngineControl::OnRefresh()
{
    if (!failure_.empty())
        return E_FAIL;
    reloading_ = true;
    Send("Page.reload");
    return S_OK;
}

void PageEngineControl::OnRefreshAccelerator() { OnRefresh(); }

void PageEngineControl::OnBackAccelerator()
{
    Send("Runtime.evaluate", {{"expression", "history.back()"}});
}

void PageEngineControl::OnWindowCreated()
{
    if (ready_)
        CreatePage();
}

// --- the window ---

bool PageEngineControl::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Window(), &ps);
        Paint(dc);
        EndPaint(Window(), &ps);
        *result = 0;
        return true;
    }
    case WM_ERASEBKGND:
        *result = 1;
        return true;
    case WM_SIZE:
        ApplySize();
        return false;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
        ForwardMouse(message, wParam, lParam);
        *result = 0;
        return true;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
        ForwardKey(message, wParam, lParam);
        *result = 0;
        return message != WM_SYSKEYDOWN && message != WM_SYSKEYUP;  // Alt+F4 and the like stay the system's
    case WM_GETDLGCODE:
        // The page takes every key, arrows and Tab included, as the platform's control does.
        *result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
        return true;
    default:
        return false;
    }
}

void PageEngineControl::Paint(HDC dc)
{
    RECT client;
    GetClientRect(Window(), &client);
    if (!failure_.empty() || !frame_) {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (!failure_.empty()) {
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(128, 0, 0));
            RECT text = client;
            InflateRect(&text, -12, -12);
            DrawTextW(dc, failure_.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
        }
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), frame_->width, -frame_->height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetDIBitsToDevice(dc, 0, 0, frame_->width, frame_->height, 0, 0, 0, frame_->height, frame_->pixels.get(), &info,
                      DIB_RGB_COLORS);
    // The window grew before the page's next frame: white beyond it.
    RECT right{frame_->width, 0, client.right, client.bottom};
    RECT below{0, frame_->height, frame_->width, client.bottom};
    FillRect(dc, &right, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillRect(dc, &below, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void PageEngineControl::ForwardMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    std::string type = "mouseMoved";
    std::string button = "none";
    int clickCount = 0;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        type = "mousePressed", button = "left", buttons_ |= 1;
        break;
    case WM_LBUTTONUP:
        type = "mouseReleased", button = "left", buttons_ &= ~1;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        type = "mousePressed", button = "right", buttons_ |= 2;
        break;
    case WM_RBUTTONUP:
        type = "mouseReleased", button = "right", buttons_ &= ~2;
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        type = "mousePressed", button = "middle", buttons_ |= 4;
        break;
    case WM_MBUTTONUP:
        type = "mouseReleased", button = "middle", buttons_ &= ~4;
        break;
    case WM_MOUSEWHEEL:
        type = "mouseWheel";
        ScreenToClient(Window(), &at);  // the wheel's point is on the screen
        break;
    default:
        break;
    }
    if (type == "mousePressed")
        clickCount = CountPress(button, at);
    else if (type == "mouseReleased")
        clickCount = std::max(1, clicks_.count);
    if (type == "mousePressed") {
        SetFocus(Window());  // the page has the keys once clicked
        if (buttons_ == 1 || buttons_ == 2 || buttons_ == 4)
            SetCapture(Window());
    }
    if (type == "mouseReleased" && buttons_ == 0)
        ReleaseCapture();
    Json params = {{"type", type}, {"x", at.x}, {"y", at.y}, {"button", button}, {"buttons", buttons_},
                   {"clickCount", clickCount}, {"modifiers", Modifiers()}};
    if (message == WM_MOUSEWHEEL) {
        params["deltaX"] = 0;
        params["deltaY"] = -static_cast<short>(HIWORD(wParam));
    }
    Send("Input.dispatchMouseEvent", std::move(params));
    if (message == WM_RBUTTONUP) {
        // The host decides about the menu; this engine has none to show.
        POINT screen = at;
        ClientToScreen(Window(), &screen);
        RightClick(screen);
    }
}

// Presses in a row: the system tells a double click, the page also knows a
// third (a line, a paragraph), counted by the system's double-click time and
// distance.
int PageEngineControl::CountPress(const std::string& button, POINT at)
{
    const LONG time = GetMessageTime();
    const bool inRow = clicks_.count > 0 && button == clicks_.button &&
                       static_cast<UINT>(time - clicks_.time) <= GetDoubleClickTime() &&
                       abs(at.x - clicks_.at.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                       abs(at.y - clicks_.at.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    clicks_.count = inRow ? clicks_.count + 1 : 1;
    clicks_.button = button;
    clicks_.time = time;
    clicks_.at = at;
    return clicks_.count;
}

void PageEngineControl::ForwardKey(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR) {
        const wchar_t c = static_cast<wchar_t>(wParam);
        if (c < 0x20 && c != L'\r' && c != L'\t')
            return;  // the key itself did it (Backspace, Escape)
        const std::string text = WideToUtf8(std::wstring(1, c));
        Send("Input.dispatchKeyEvent",
             {{"type", "char"}, {"text", text}, {"unmodifiedText", text}, {"modifiers", Modifiers()}});
        return;
    }
    const UINT vk = static_cast<UINT>(wParam);
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    Json params = {{"type", down ? "rawKeyDown" : "keyUp"},
                   {"windowsVirtualKeyCode", vk},
                   {"nativeVirtualKeyCode", vk},
                   {"modifiers", Modifiers()},
                   {"autoRepeat", down && (lParam & (1 << 30)) != 0}};
    if (const char* name = KeyName(vk)) {
        params["key"] = name;
        params["code"] = name;
    }
    Send("Input.dispatchKeyEvent", std::move(params));
}

// --- the class object ---

namespace {

HRESULT CreatePageEngineControl(REFIID iid, void** ppv)
{
    return PageEngineControl::Create()->QueryInterface(iid, ppv);
}

StaticClassFactory<&CreatePageEngineControl> g_factory;
ProcessClassRegistration g_registration;

}  // namespace

bool RegisterPageEngineClass()
{
    return RunningUnderWine() && SUCCEEDED(g_registration.Register(CLSID_WebBrowser, &g_factory));
}

void RevokePageEngineClass() { g_registration.Revoke(); }

}  // namespace pageengine
