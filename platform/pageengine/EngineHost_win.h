#pragma once
// The page engine's browser, shared by every page control of the process:
// started when the first control asks for it, on a worker thread so that no
// window waits; ended when the last control lets go. What the browser says
// reaches the controls on the thread that made the host (the user-interface
// thread), through a message window, in the order it was said.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "platform/devtools/DevToolsConnection.h"
#include "platform/devtools/FramePicture.h"

namespace pageengine {

// The page engine's trace file (MORVANE_PAGE_ENGINE_LOG): whether it is
// kept (callers build costly lines only then), and a line for it.
bool Tracing();
void Trace(const std::string& line);

class EngineHost {
public:
    // A page control, told about the engine and about its own page's session.
    class Client {
    public:
        virtual void OnEngineReady() = 0;
        virtual void OnEngineFailed(const std::wstring& text) = 0;
        virtual void OnEngineEvent(const devtools::Json& event) = 0;
        // The page's latest picture, decoded (a screencast frame).
        virtual void OnFrame(std::shared_ptr<const devtools::FramePicture> picture) = 0;
        // Page script's window.external: a property read or a method call
        // ({"op", "name", "args"}), answered with {"kind", "value"}.
        virtual devtools::Json OnExternalCall(const devtools::Json& request) = 0;

    protected:
        ~Client() = default;
    };

    enum class State { Starting, Ready, Failed };

    // The host, started if it was not; the client hears OnEngineReady or
    // OnEngineFailed once the outcome is known (at once if it already is,
    // posted). Every Acquire is matched by a Release.
    static EngineHost& Acquire(Client* client);
    static void Release(Client* client);

    State GetState() const { return state_; }
    const std::wstring& FailureText() const { return failure_; }

    using Reply = std::function<void(const devtools::Json& reply)>;
    // Sends a command (to a page's session when one is named); the reply, on
    // the user-interface thread. False when the engine is not ready.
    bool Send(const std::string& method, devtools::Json params, const std::string& sessionId = {},
              Reply reply = {});
    // Events of this session go to the client (none after Release).
    void Route(const std::string& sessionId, Client* client);
    // Where page script sends its window.external requests, and the key a
    // page names itself by there; empty when the engine could not offer it.
    const std::string& BridgeEndpoint() const { return bridgeEndpoint_; }
    void RouteBridge(const std::string& key, Client* client);
    // The port's state, shared with its threads (defined with the host).
    struct Bridge;

private:
    struct Startup;
    // What the browser's reader and the start-up hand to the window's thread.
    struct Queue;

    EngineHost();
    ~EngineHost();
    EngineHost(const EngineHost&) = delete;
    EngineHost& operator=(const EngineHost&) = delete;

    void Start();
    void OnStarted(const std::string& webSocketUrl, const std::wstring& error);
    void Fail(const std::wstring& text);
    // Runs the function on the user-interface thread, after what is queued.
    void Post(std::function<void()> task);
    void RunPosted();
    void OnEvent(const devtools::Json& event);

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // On the reader: a screencast frame, acknowledged, decoded and queued.
    static void TakeFrame(Queue& queue, devtools::Connection& connection, const devtools::Json& event);
    void HandOverFrame(const std::string& sessionId);
    void StartBridge();
    devtools::Json OnBridgeCall(const devtools::Json& request);

    std::shared_ptr<Queue> queue_;
    std::shared_ptr<Bridge> bridge_;
    std::thread bridgeAcceptor_;
    std::string bridgeEndpoint_;
    std::map<std::string, Client*> bridgeKeys_;  // shared with the reader and start-up threads
    HWND window_ = nullptr;
    std::shared_ptr<Startup> startup_;
    std::unique_ptr<devtools::Connection> connection_;
    State state_ = State::Starting;
    std::wstring failure_;
    std::map<Client*, int> clients_;
    std::map<std::string, Client*> sessions_;
};

}  // namespace pageengine
