#pragma once
// How the program meets the page engine's browser and keeps it no longer
// than itself. The program listens on a loopback port and starts the
// engine's script with that port; the script connects, starts a private
// browser and says where its DevTools endpoint is. The connection stays
// open while the program wants the engine: when it closes (this object is
// destroyed, or the process ends in any way, since the system closes its
// sockets then) the script ends the browser and removes its profile. A
// program under Wine gets no handle for a Unix program it starts, so this
// is how it stops one.
#include <cstdint>
#include <string>

#include "platform/socket/Socket.h"

namespace devtools {

class EngineLifeline {
public:
    EngineLifeline() = default;
    EngineLifeline(const EngineLifeline&) = delete;
    EngineLifeline& operator=(const EngineLifeline&) = delete;

    // Opens the loopback port the script is to connect to.
    bool Listen();
    uint16_t Port() const { return port_; }

    // What the script said: the browser's endpoint, or why there is none.
    struct Answer {
        std::string webSocketUrl;  // empty when the engine did not start
        std::string error;
    };
    // Waits for the script to connect and answer; never longer than the
    // time given, so a missing or stuck engine cannot hang the caller.
    Answer Await(int timeoutMs);

    // False once the script has let go (the browser ended or crashed).
    bool EngineAlive();

    // Lets go: the script ends the browser.
    void Release();

private:
    sock::Socket listener_;
    sock::Socket connection_;
    uint16_t port_ = 0;
};

}  // namespace devtools
