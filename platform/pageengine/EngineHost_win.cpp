#include "platform/pageengine/EngineHost_win.h"

#include <atomic>
#include <cstdio>
#include <deque>
#include <mutex>
#include <random>
#include <thread>

#include "platform/Com_win.h"
#include "platform/Text_win.h"
#include "platform/devtools/BridgeHttp.h"
#include "platform/devtools/EngineLifeline.h"
#include "platform/devtools/FramePicture.h"
#include "platform/pageengine/EngineProcess_win.h"
#include "platform/socket/Socket.h"

namespace pageengine {

namespace {

constexpr wchar_t kWindowClass[] = L"MorvanePageEngineHost";
constexpr UINT kRunPosted = WM_APP + 1;
constexpr UINT kBridgeCall = WM_APP + 2;  // sent: LPARAM is a BridgeCall*
// A page's request arrives whole within this, or is dropped.
constexpr int kBridgeReadTimeoutMs = 10000;
// The browser answers within a few seconds when it can start at all.
constexpr int kStartTimeoutMs = 30000;
constexpr int kConnectTimeoutMs = 5000;

EngineHost* g_host = nullptr;

}  // namespace

// MORVANE_PAGE_ENGINE_LOG names a file that receives a line per command sent
// and event received (not their picture data): to see what the browser and
// the control said to each other.
namespace {
const std::string& TracePath()
{
    static const std::string path = [] {
        char value[MAX_PATH] = {};
        const DWORD n = GetEnvironmentVariableA("MORVANE_PAGE_ENGINE_LOG", value, MAX_PATH);
        return n > 0 && n < MAX_PATH ? std::string(value, n) : std::string();
    }();
    return path;
}
}  // namespace

bool Tracing() { return !TracePath().empty(); }

void Trace(const std::string& line)
{
    if (!Tracing())
        return;
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    if (FILE* f = fopen(TracePath().c_str(), "a")) {
        fprintf(f, "%lu %s\n", GetTickCount(), line.substr(0, 300).c_str());
        fclose(f);
    }
}

// What the start-up thread shares with the host, which may be gone before
// the thread is done: then the thread lets the engine go itself.
struct EngineHost::Startup {
    std::mutex mutex;
    bool abandoned = false;
    bool starting = true;  // the thread still uses the lifeline
    devtools::EngineLifeline lifeline;
};

// The window.external port: an accepting thread, and a thread per request,
// which waits (SendMessage) while the host answers on the window's thread.
// A request may wait long: a call can run a modal window.
struct EngineHost::Bridge {
    sock::Library winsock;
    sock::Socket listener;
    std::string secret;
    std::atomic<bool> stopping{false};
    std::mutex mutex;
    HWND window = nullptr;  // null once the host is gone
};

struct BridgeCall {
    devtools::Json request;
    devtools::Json answer;
};

namespace {

std::string RandomSecret()
{
    std::random_device source;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string secret;
    for (int i = 0; i < 32; ++i)
        secret.push_back(kHex[source() & 15]);
    return secret;
}

void Answer(sock::Handle s, int status, const std::string& body)
{
    const std::string response = bridgehttp::Response(status, body);
    size_t sent = 0;
    while (sent < response.size()) {
        const int n = sock::Send(s, response.data() + sent, static_cast<int>(response.size() - sent));
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

void ServeBridgeRequest(const std::shared_ptr<EngineHost::Bridge>& bridge, sock::Socket connection);

}  // namespace

struct EngineHost::Queue {
    std::mutex mutex;
    std::deque<std::function<void()>> tasks;
    // Each page's latest picture not yet handed on; a page listed here has
    // its hand-over queued already.
    std::map<std::string, std::shared_ptr<const devtools::FramePicture>> frames;
    HWND window = nullptr;  // null once the host is gone: nothing more is queued

    // Queues a task for the window's thread, which runs it for the live host.
    void Push(std::function<void()> task)
    {
        std::lock_guard<std::mutex> lock(mutex);
        PushLocked(std::move(task));
    }
    void PushLocked(std::function<void()> task)
    {
        if (!window)
            return;
        tasks.push_back(std::move(task));
        PostMessageW(window, kRunPosted, 0, 0);
    }
};

// A frame is acknowledged and decoded where it arrives, so the browser may
// draw the next one meanwhile and the window's thread only paints. The
// window gets each page's latest picture: a busy window skips frames rather
// than fall behind them.
void EngineHost::TakeFrame(Queue& queue, devtools::Connection& connection, const devtools::Json& event)
{
    const auto params = event.find("params");
    const auto session = event.find("sessionId");
    if (params == event.end() || !params->is_object() || session == event.end() || !session->is_string())
        return;
    const std::string& sessionId = session->get_ref<const std::string&>();
    connection.Send("Page.screencastFrameAck", {{"sessionId", params->value("sessionId", 0)}}, sessionId);
    const auto data = params->find("data");
    if (data == params->end() || !data->is_string())
        return;
    std::optional<devtools::FramePicture> picture =
        devtools::DecodeFramePicture(data->get_ref<const std::string&>());
    if (!picture)
        return;
    auto shared = std::make_shared<const devtools::FramePicture>(std::move(*picture));
    std::lock_guard<std::mutex> lock(queue.mutex);
    if (!queue.window)
        return;
    const bool queued = queue.frames.count(sessionId) != 0;
    queue.frames[sessionId] = std::move(shared);
    if (!queued)
        queue.PushLocked([sessionId] { g_host->HandOverFrame(sessionId); });
}


EngineHost& EngineHost::Acquire(Client* client)
{
    if (!g_host) {
        g_host = new EngineHost;
        g_host->Start();
    }
    EngineHost& host = *g_host;
    ++host.clients_[client];
    // The outcome, if it is known, as it would have come: later, posted.
    if (host.state_ != State::Starting) {
        host.Post([client] {
            if (!g_host || !g_host->clients_.count(client))
                return;
            if (g_host->state_ == State::Ready)
                client->OnEngineReady();
            else
                client->OnEngineFailed(g_host->failure_);
        });
    }
    return host;
}

void EngineHost::Release(Client* client)
{
    if (!g_host)
        return;
    auto found = g_host->clients_.find(client);
    if (found == g_host->clients_.end())
        return;
    if (--found->second == 0)
        g_host->clients_.erase(found);
    for (auto it = g_host->sessions_.begin(); it != g_host->sessions_.end();) {
        it = it->second == client && !g_host->clients_.count(client) ? g_host->sessions_.erase(it) : std::next(it);
    }
    if (g_host->clients_.empty()) {
        delete g_host;
        g_host = nullptr;
    }
}

EngineHost::EngineHost() : queue_(std::make_shared<Queue>())
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &EngineHost::WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    queue_->window = window_;
    StartBridge();
}

EngineHost::~EngineHost()
{
    if (bridge_) {
        {
            std::lock_guard<std::mutex> lock(bridge_->mutex);
            bridge_->window = nullptr;
        }
        bridge_->stopping = true;
        if (bridgeAcceptor_.joinable())
            bridgeAcceptor_.join();
        bridge_->listener.Reset();
    }
    // The reader goes first (joined), so nothing new is queued after this.
    if (connection_)
        connection_->Close();
    connection_.reset();
    {
        std::lock_guard<std::mutex> lock(queue_->mutex);
        queue_->window = nullptr;
        queue_->tasks.clear();
        queue_->frames.clear();
    }
    if (startup_) {
        std::lock_guard<std::mutex> lock(startup_->mutex);
        startup_->abandoned = true;
        if (!startup_->starting)
            startup_->lifeline.Release();  // the browser ends with the lifeline
    }
    if (window_)
        DestroyWindow(window_);
}

void EngineHost::Start()
{
    if (!RunningUnderWine()) {
        Fail(L"The page engine runs only under Wine.");
        return;
    }
    startup_ = std::make_shared<Startup>();
    std::shared_ptr<Startup> startup = startup_;
    std::shared_ptr<Queue> queue = queue_;
    std::thread([startup, queue] {
        sock::Library winsock;
        std::string url;
        std::string error;
        {
            std::lock_guard<std::mutex> lock(startup->mutex);
            if (!startup->lifeline.Listen())
                error = "no loopback port for the page engine";
        }
        if (error.empty() && !StartEngineScript(startup->lifeline.Port()))
            error = "the page engine's script could not be started (" + EngineScriptPath() + ")";
        if (error.empty()) {
            // Not under the lock: the host may let go meanwhile.
            const devtools::EngineLifeline::Answer answer = startup->lifeline.Await(kStartTimeoutMs);
            url = answer.webSocketUrl;
            error = answer.error;
        }
        std::lock_guard<std::mutex> lock(startup->mutex);
        startup->starting = false;
        if (startup->abandoned) {
            startup->lifeline.Release();
            return;
        }
        queue->Push([url, error] { g_host->OnStarted(url, Utf8ToWide(error)); });
    }).detach();
}

void EngineHost::OnStarted(const std::string& webSocketUrl, const std::wstring& error)
{
    if (webSocketUrl.empty()) {
        Fail(L"The page engine did not start: " + error);
        return;
    }
    auto connection = std::make_unique<devtools::Connection>();
    std::shared_ptr<Queue> queue = queue_;
    devtools::Connection& sender = *connection;  // outlives its reader, which runs this
    connection->SetEventHandler([queue, &sender](const devtools::Json& event) {
        if (event.value("method", "") == "Page.screencastFrame")
            TakeFrame(*queue, sender, event);
        else
            queue->Push([event] { g_host->OnEvent(event); });
    });
    connection->SetClosedHandler([queue] { queue->Push([] { g_host->Fail(L"The page engine has ended."); }); });
    if (!connection->Open(webSocketUrl, kConnectTimeoutMs)) {
        Fail(L"The page engine did not answer.");
        return;
    }
    connection_ = std::move(connection);
    state_ = State::Ready;
    // A client may let go from inside its handler: work on a copy.
    const std::map<Client*, int> clients = clients_;
    for (const auto& [client, count] : clients) {
        if (g_host == this && clients_.count(client))
            client->OnEngineReady();
    }
}

void EngineHost::Fail(const std::wstring& text)
{
    if (state_ == State::Failed)
        return;
    state_ = State::Failed;
    failure_ = text;
    sessions_.clear();
    const std::map<Client*, int> clients = clients_;
    for (const auto& [client, count] : clients) {
        if (g_host == this && clients_.count(client))
            client->OnEngineFailed(failure_);
    }
}

bool EngineHost::Send(const std::string& method, devtools::Json params, const std::string& sessionId, Reply reply)
{
    if (Tracing())
        Trace("send " + method + " " + params.dump() + " " + sessionId);
    if (state_ != State::Ready || !connection_)
        return false;
    devtools::Connection::ReplyHandler onReply;
    if (reply) {
        std::shared_ptr<Queue> queue = queue_;
        onReply = [queue, reply = std::move(reply)](const devtools::Json& message) {
            queue->Push([reply, message] { reply(message); });
        };
    }
    return connection_->Send(method, std::move(params), sessionId, std::move(onReply)) != 0;
}

void EngineHost::Route(const std::string& sessionId, Client* client)
{
    if (client)
        sessions_[sessionId] = client;
    else
        sessions_.erase(sessionId);
}

void EngineHost::RouteBridge(const std::string& key, Client* client)
{
    if (client)
        bridgeKeys_[key] = client;
    else
        bridgeKeys_.erase(key);
}

void EngineHost::StartBridge()
{
    auto bridge = std::make_shared<Bridge>();
    uint16_t port = 0;
    bridge->listener = sock::Socket(sock::ListenLoopback(&port));
    if (!bridge->listener.Valid())
        return;
    bridge->secret = RandomSecret();
    bridge->window = window_;
    bridge_ = bridge;
    bridgeEndpoint_ = "http://127.0.0.1:" + std::to_string(port) + "/" + bridge->secret + "/external";
    bridgeAcceptor_ = std::thread([bridge] {
        while (!bridge->stopping) {
            sock::Socket connection(sock::Accept(bridge->listener.Get(), 200));
            if (!connection.Valid())
                continue;
            Trace("bridge connection");
            std::thread([bridge, c = std::move(connection)]() mutable { ServeBridgeRequest(bridge, std::move(c)); })
                .detach();
        }
    });
}

namespace {

void ServeBridgeRequest(const std::shared_ptr<EngineHost::Bridge>& bridge, sock::Socket connection)
{
    std::string received;
    bridgehttp::Request request;
    while (request.state == bridgehttp::Request::State::Incomplete) {
        if (!sock::WaitReadable(connection.Get(), kBridgeReadTimeoutMs))
            return;
        char buffer[4096];
        const int got = sock::Recv(connection.Get(), buffer, sizeof buffer);
        if (got <= 0)
            return;
        received.append(buffer, static_cast<size_t>(got));
        request = bridgehttp::ParseRequest(received, bridge->secret);
    }
    if (request.state == bridgehttp::Request::State::Refused) {
        Trace("bridge refused " + std::to_string(request.status) + " " + received.substr(0, 80));
        Answer(connection.Get(), request.status, "{}");
        return;
    }
    if (request.method == "OPTIONS") {
        Answer(connection.Get(), 204, "");
        return;
    }
    BridgeCall call;
    call.request = devtools::Json::parse(request.body, nullptr, false);
    if (Tracing())
        Trace("bridge asked " + request.body);
    if (!call.request.is_object()) {
        Answer(connection.Get(), 400, "{}");
        return;
    }
    HWND window;
    {
        std::lock_guard<std::mutex> lock(bridge->mutex);
        window = bridge->window;
    }
    // The host answers on its own thread; this one waits, as the page does.
    if (!window || !SendMessageW(window, kBridgeCall, 0, reinterpret_cast<LPARAM>(&call))) {
        Answer(connection.Get(), 503, "{}");
        return;
    }
    if (Tracing())
        Trace("bridge answered " + call.answer.dump());
    Answer(connection.Get(), 200, call.answer.dump(-1, ' ', false, devtools::Json::error_handler_t::replace));
}

}  // namespace

devtools::Json EngineHost::OnBridgeCall(const devtools::Json& request)
{
    const auto key = request.find("key");
    if (key == request.end() || !key->is_string())
        return {{"kind", "missing"}};
    auto found = bridgeKeys_.find(key->get<std::string>());
    if (found == bridgeKeys_.end())
        return {{"kind", "missing"}};
    return found->second->OnExternalCall(request);
}

void EngineHost::Post(std::function<void()> task) { queue_->Push(std::move(task)); }

// One task per message: a task may run a modal loop, and the loop's own
// dispatch takes the next. The window runs tasks only for the live host
// (g_host), so a task may use it.
void EngineHost::RunPosted()
{
    std::function<void()> task;
    {
        std::lock_guard<std::mutex> lock(queue_->mutex);
        if (queue_->tasks.empty())
            return;
        task = std::move(queue_->tasks.front());
        queue_->tasks.pop_front();
    }
    task();
}

void EngineHost::HandOverFrame(const std::string& sessionId)
{
    std::shared_ptr<const devtools::FramePicture> picture;
    {
        std::lock_guard<std::mutex> lock(queue_->mutex);
        auto frame = queue_->frames.find(sessionId);
        if (frame == queue_->frames.end())
            return;
        picture = std::move(frame->second);
        queue_->frames.erase(frame);
    }
    if (Tracing())
        Trace("frame " + std::to_string(picture->width) + "x" + std::to_string(picture->height) + " " + sessionId);
    auto found = sessions_.find(sessionId);
    if (found != sessions_.end())
        found->second->OnFrame(std::move(picture));
}

void EngineHost::OnEvent(const devtools::Json& event)
{
    if (Tracing())
        Trace("event " + event.dump().substr(0, 120) + " " +
              (event.contains("params") && event["params"].contains("payload") ? event["params"]["payload"].dump() : ""));
    const auto session = event.find("sessionId");
    if (session == event.end() || !session->is_string())
        return;
    auto found = sessions_.find(session->get<std::string>());
    if (found != sessions_.end())
        found->second->OnEngineEvent(event);
}

LRESULT CALLBACK EngineHost::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowProcBoundary(0, [&]() -> LRESULT {
        auto* host = reinterpret_cast<EngineHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == kRunPosted) {
            if (host && host == g_host)
                host->RunPosted();
            return 0;
        }
        if (message == kBridgeCall) {
            if (!host || host != g_host)
                return 0;
            auto* call = reinterpret_cast<BridgeCall*>(lParam);
            call->answer = host->OnBridgeCall(call->request);
            return 1;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    });
}

}  // namespace pageengine
