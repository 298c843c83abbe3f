#pragma once
// A WebSocket client (RFC 6455) over the socket shim: plain ws:// only, no
// extensions, no subprotocols. It carries the browser's DevTools protocol,
// whose JSON messages run to several megabytes (screencast frames).
//
// Threads: one thread may sit in Receive while others call SendText or
// SendBinary. Every frame, the client's own pongs and close frames included,
// is written whole under one lock, and the sender touches none of the read
// state. Connect and Close must not overlap any other call: a reader stops
// by polling Receive with a finite time-out and checking its own stop flag,
// and the owner calls Close once it has joined.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "platform/socket/Socket.h"

namespace ws {

// "ws://host[:port][/path]"; the port defaults to 80, the path to "/", and a
// query stays in the path. The host is a name or a dotted quad (IPv4 only).
struct Url {
    std::string host;
    uint16_t port = 80;
    std::string path;
};
std::optional<Url> ParseUrl(std::string_view url);

enum class Opcode : uint8_t { Continuation = 0, Text = 1, Binary = 2, Close = 8, Ping = 9, Pong = 10 };

// A whole data message (Text or Binary), its fragments joined.
struct Message {
    Opcode opcode = Opcode::Text;
    std::string payload;
};

// Close codes the client sends of its own accord.
inline constexpr uint16_t kCloseNormal = 1000;
inline constexpr uint16_t kCloseProtocolError = 1002;
inline constexpr uint16_t kCloseTooBig = 1009;

class Client {
public:
    // A frame or a message longer than this closes the connection (1009)
    // before any of it is stored.
    static constexpr size_t kMaxMessageBytes = 64 * 1024 * 1024;
    // A handshake answer whose header has not ended within this many bytes is refused.
    static constexpr size_t kMaxHandshakeBytes = 16 * 1024;

    Client();
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Opens the TCP connection and performs the opening handshake; true when
    // the server switched protocols with the expected Sec-WebSocket-Accept.
    // timeoutMs bounds the wait for the server's answer (negative: none); the
    // TCP connect itself takes the system's time (a loopback port that nobody
    // listens on is refused at once). A connection still open is closed first.
    bool Connect(const Url& url, int timeoutMs);

    // One unfragmented frame each, masked with a fresh random key. False once
    // the connection is closed or when the write fails (which closes it).
    bool SendText(std::string_view text);
    bool SendBinary(std::string_view bytes);

    // Reads until one whole data message has arrived. On the way it answers
    // pings with pongs of the same payload, ignores pongs, and answers a close
    // frame with one echoing its code, then lets the socket go. nullopt on
    // close, on a protocol error (the client closes with 1002, or 1009 for an
    // oversized message), on a broken connection, or when timeoutMs ran out
    // (negative: no limit). A time-out keeps the connection usable: bytes
    // already read stay for the next call.
    std::optional<Message> Receive(int timeoutMs);

    // Sends a close frame with the code if the connection is open, then
    // releases the socket. The server's answer is not awaited.
    void Close(uint16_t code = kCloseNormal);

    bool IsOpen() const { return open_; }
    // The code of the close frame the peer sent, 0 when none (or none in it).
    uint16_t PeerCloseCode() const { return peerCloseCode_; }

private:
    enum class Fill { Read, TimedOut, Ended };
    enum class Parse { Frame, NeedMore, Failed };
    struct Frame {
        bool fin = false;
        Opcode opcode = Opcode::Continuation;
        std::string_view payload;  // inside in_, valid until the next read
    };
    class Deadline;

    bool SendFrame(Opcode opcode, std::string_view payload);
    // The caller holds sendLock_.
    bool WriteFrameLocked(Opcode opcode, std::string_view payload);
    // Writes a close frame, with the code when there is one, unless one went already.
    void SendCloseLocked(std::optional<uint16_t> code);
    bool WriteAll(std::string_view bytes);
    bool Handshake(const Url& url, const Deadline& deadline);

    Fill ReadMore(const Deadline& deadline);
    Parse ParseFrame(Frame* frame, uint16_t* failCode);
    // Acts on one frame; the message it completes, if any.
    std::optional<Message> TakeFrame(const Frame& frame);
    void TakeClose(std::string_view payload);
    void Fail(uint16_t code);
    void ResetReadState();

    sock::Socket socket_;
    std::atomic<bool> open_{false};
    std::atomic<uint16_t> peerCloseCode_{0};

    // Write side, under sendLock_.
    std::mutex sendLock_;
    bool closeSent_ = false;
    std::mt19937 random_;

    // Read side, touched only by the thread in Receive (or Connect).
    std::string in_;  // bytes read and not yet consumed, from inBegin_
    size_t inBegin_ = 0;
    std::string fragments_;  // the data message being assembled
    std::optional<Opcode> fragmentOpcode_;
};

// The Sec-WebSocket-Accept value a server derives from the client's key.
std::string AcceptKey(std::string_view secWebSocketKey);
// One frame as a client writes it: FIN bit, opcode, the shortest length
// form and the payload masked with the key.
std::string EncodeFrame(Opcode opcode, std::string_view payload, bool fin, const std::array<uint8_t, 4>& mask);

}  // namespace ws
