#pragma once
// Starts tests/updater/servers/scripted_server.py on port 80 of its own
// loopback address and stops it again.
#include <string>
#include <vector>

class ScriptedServer {
public:
    // script: the JSON list of steps the server plays to every connection.
    explicit ScriptedServer(const std::string& script);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    bool Running() const { return running_; }
    const std::string& Host() const { return host_; }
    std::string Url(const std::string& path) const { return "http://" + host_ + path; }
    // The bytes of the request of connection n (from 1), "" when none arrived.
    std::string Request(int n = 1) const;

private:
    bool Start(const std::string& script, int attempt);
    void Stop();

    std::string host_;
    std::string dir_;       // the server's files, as this process names them
    std::string unixDir_;   // the same, as the server names them
    bool running_ = false;
    long long process_ = 0;  // pid, or process handle on Windows
};

// JSON text of a string: the script's "send" texts.
std::string JsonString(const std::string& text);

// Steps of a script, and the script itself (a list, or routes by path).
namespace step {
inline std::string Send(const std::string& text) { return "[\"send\"," + JsonString(text) + "]"; }
inline std::string Body(size_t n) { return "[\"body\"," + std::to_string(n) + "]"; }
inline std::string Drip(size_t n, size_t chunk, double seconds)
{
    return "[\"drip\"," + std::to_string(n) + "," + std::to_string(chunk) + "," + std::to_string(seconds) + "]";
}
inline std::string Sleep(double seconds) { return "[\"sleep\"," + std::to_string(seconds) + "]"; }
inline std::string Script(const std::vector<std::string>& steps)
{
    std::string s = "[";
    for (size_t i = 0; i < steps.size(); ++i)
        s += (i ? "," : "") + steps[i];
    return s + "]";
}
// A 200 answer with Content-Length and the body given.
inline std::string Ok(const std::string& body)
{
    return Script({Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body)});
}
}  // namespace step

// The bytes of the server's ["body", n] step starting at offset.
std::string PatternBytes(size_t n, size_t offset = 0);

// The whole file, or "<missing>".
std::string ReadFileOrMissing(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
