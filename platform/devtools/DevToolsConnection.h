#pragma once
// One connection to a browser's DevTools endpoint: commands out, their
// replies and the browser's events in. A reader thread owns the receiving
// side; every callback runs on it, so a user-interface caller hands them on
// to its own thread. Nothing here ever waits for a reply on the caller's
// behalf except Call, which is for threads that may block (set-up, tests):
// a browser that pauses a navigation waits for an answer itself, and a
// caller blocked on a reply while it should be answering would hang both.
#include <nlohmann/json.hpp>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/devtools/WebSocket.h"

namespace devtools {

using Json = nlohmann::json;

class Connection {
public:
    // A reply: the whole message ({"id", "result"} or {"id", "error"}).
    using ReplyHandler = std::function<void(const Json& reply)>;
    // An event: the whole message ({"method", "params", "sessionId"?}).
    using EventHandler = std::function<void(const Json& event)>;
    // The connection ended (the browser closed it, or it broke).
    using ClosedHandler = std::function<void()>;

    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Handlers are set before Open and not changed after.
    void SetEventHandler(EventHandler handler) { onEvent_ = std::move(handler); }
    void SetClosedHandler(ClosedHandler handler) { onClosed_ = std::move(handler); }

    bool Open(std::string_view webSocketUrl, int timeoutMs);
    bool IsOpen() const { return open_; }
    // Sends a command, to a page's session when one is named; 0 when the
    // connection is not open. The reply, if a handler is given, comes on the
    // reader thread; a connection that ends first answers every waiting
    // command with {"error": {"message": "closed"}}.
    int Send(std::string_view method, Json params = Json::object(), std::string_view sessionId = {},
             ReplyHandler onReply = {});
    // Sends and waits for the reply's "result"; nullopt on an error reply,
    // a closed connection or the time running out.
    std::optional<Json> Call(std::string_view method, Json params = Json::object(),
                             std::string_view sessionId = {}, int timeoutMs = 10000);
    // Ends the connection and joins the reader. Idempotent.
    void Close();

private:
    void ReadLoop();
    void Dispatch(const std::string& text);
    void FailPending();

    ws::Client socket_;
    std::thread reader_;
    std::atomic<bool> open_{false};
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;  // guards nextId_ and pending_
    int nextId_ = 1;
    std::map<int, ReplyHandler> pending_;
    EventHandler onEvent_;
    ClosedHandler onClosed_;
};

}  // namespace devtools
