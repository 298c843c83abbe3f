#include "platform/devtools/DevToolsConnection.h"

#include <chrono>
#include <condition_variable>
#include <memory>

namespace devtools {

namespace {
// How long the reader waits before looking at the stop flag again.
constexpr int kReadSliceMs = 200;
}  // namespace

Connection::~Connection() { Close(); }

bool Connection::Open(std::string_view webSocketUrl, int timeoutMs)
{
    if (open_)
        return false;
    if (reader_.joinable())
        reader_.join();  // the reader of a connection the peer ended
    const std::optional<ws::Url> url = ws::ParseUrl(webSocketUrl);
    if (!url || !socket_.Connect(*url, timeoutMs))
        return false;
    stopping_ = false;
    open_ = true;
    reader_ = std::thread([this] { ReadLoop(); });
    return true;
}

int Connection::Send(std::string_view method, Json params, std::string_view sessionId, ReplyHandler onReply)
{
    if (!open_)
        return 0;
    int id;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        id = nextId_++;
        if (onReply)
            pending_.emplace(id, std::move(onReply));
    }
    Json message = {{"id", id}, {"method", std::string(method)}, {"params", std::move(params)}};
    if (!sessionId.empty())
        message["sessionId"] = std::string(sessionId);
    if (!socket_.SendText(message.dump(-1, ' ', false, Json::error_handler_t::replace))) {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.erase(id);
        return 0;
    }
    return id;
}

std::optional<Json> Connection::Call(std::string_view method, Json params, std::string_view sessionId, int timeoutMs)
{
    struct Waiter {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Json> reply;
    };
    auto waiter = std::make_shared<Waiter>();
    const int id = Send(method, std::move(params), sessionId, [waiter](const Json& reply) {
        std::lock_guard<std::mutex> lock(waiter->mutex);
        waiter->reply = reply;
        waiter->done.notify_all();
    });
    if (!id)
        return std::nullopt;
    std::unique_lock<std::mutex> lock(waiter->mutex);
    if (!waiter->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return waiter->reply.has_value(); })) {
        std::lock_guard<std::mutex> pendingLock(mutex_);
        pending_.erase(id);
        return std::nullopt;
    }
    const Json& reply = *waiter->reply;
    if (!reply.contains("result"))
        return std::nullopt;
    return reply["result"];
}

void Connection::Close()
{
    stopping_ = true;
    if (reader_.joinable()) {
        if (reader_.get_id() == std::this_thread::get_id())
            reader_.detach();  // a handler closing its own connection
        else
            reader_.join();
    }
    socket_.Close();
    open_ = false;
    FailPending();
}

void Connection::ReadLoop()
{
    while (!stopping_) {
        std::optional<ws::Message> message = socket_.Receive(kReadSliceMs);
        if (!message) {
            if (socket_.IsOpen())
                continue;  // only the slice ran out
            break;
        }
        if (message->opcode == ws::Opcode::Text)
            Dispatch(message->payload);
    }
    const bool byPeer = !stopping_;
    open_ = false;
    FailPending();
    if (byPeer && onClosed_)
        onClosed_();
}

void Connection::Dispatch(const std::string& text)
{
    Json message = Json::parse(text, nullptr, false);
    if (message.is_discarded() || !message.is_object())
        return;  // not ours to judge; the browser speaks JSON
    if (message.contains("id") && message["id"].is_number_integer()) {
        ReplyHandler handler;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto found = pending_.find(message["id"].get<int>());
            if (found == pending_.end())
                return;
            handler = std::move(found->second);
            pending_.erase(found);
        }
        handler(message);
        return;
    }
    if (message.contains("method") && onEvent_)
        onEvent_(message);
}

void Connection::FailPending()
{
    std::map<int, ReplyHandler> pending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending.swap(pending_);
    }
    for (auto& [id, handler] : pending)
        handler(Json{{"id", id}, {"error", {{"message", "closed"}}}});
}

}  // namespace devtools
