#pragma once
// The little HTTP the page engine's window.external speaks: page script
// sends each property read and method call as a synchronous request to a
// loopback port of the program, which answers once the host has. Only a
// request that names the secret path is served, so no other page or program
// on the machine can call into the host.
#include <string>
#include <string_view>

namespace bridgehttp {

// A request read so far: whole, or not yet, or refused (with the status to answer).
struct Request {
    enum class State { Incomplete, Complete, Refused } state = State::Incomplete;
    int status = 0;       // for Refused: 400, 404, 405, 413
    std::string method;   // POST, or OPTIONS for a browser's preflight
    std::string body;
};

constexpr size_t kMaxRequestBytes = 1 << 20;

// Reads the bytes received so far; the path must be "/" + secret + "/external".
Request ParseRequest(std::string_view received, std::string_view secret);

// A whole response with the headers a page's cross-origin request needs.
std::string Response(int status, std::string_view body);

}  // namespace bridgehttp
