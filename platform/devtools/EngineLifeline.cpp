#include "platform/devtools/EngineLifeline.h"

#include <algorithm>
#include <chrono>

namespace devtools {

bool EngineLifeline::Listen()
{
    listener_ = sock::Socket(sock::ListenLoopback(&port_));
    return listener_.Valid();
}

EngineLifeline::Answer EngineLifeline::Await(int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto left = [&] {
        return static_cast<int>(
            std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count()));
    };
    if (!listener_.Valid())
        return {{}, "no loopback port for the page engine"};
    connection_ = sock::Socket(sock::Accept(listener_.Get(), left()));
    listener_.Reset();  // one engine per lifeline
    if (!connection_.Valid())
        return {{}, "the page engine did not start"};
    // One line: "ws URL" or "error TEXT".
    std::string line;
    while (line.find('\n') == std::string::npos) {
        if (line.size() > 4096 || left() == 0 || !sock::WaitReadable(connection_.Get(), left()))
            return {{}, "the page engine did not answer"};
        char buffer[512];
        const int got = sock::Recv(connection_.Get(), buffer, sizeof buffer);
        if (got <= 0)
            return {{}, "the page engine ended while starting"};
        line.append(buffer, static_cast<size_t>(got));
    }
    line.erase(line.find('\n'));
    if (line.rfind("ws ", 0) == 0)
        return {line.substr(3), {}};
    if (line.rfind("error ", 0) == 0)
        return {{}, line.substr(6)};
    return {{}, "the page engine answered something else"};
}

bool EngineLifeline::EngineAlive()
{
    if (!connection_.Valid())
        return false;
    if (!sock::WaitReadable(connection_.Get(), 0))
        return true;
    // The script never writes after its answer: readable means it let go.
    char byte;
    if (sock::Recv(connection_.Get(), &byte, 1) <= 0) {
        connection_.Reset();
        return false;
    }
    return true;
}

void EngineLifeline::Release()
{
    connection_.Reset();
    listener_.Reset();
}

}  // namespace devtools
