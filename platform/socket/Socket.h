#pragma once
// A thin shim over the stream-socket calls, the same on both builds: Winsock
// 1.1 on Windows, BSD sockets elsewhere. Addresses are IPv4 in network byte
// order. "No socket" is kInvalidSocket, never 0: a process started without
// standard input can be handed descriptor 0.
#include <cstdint>

namespace sock {

#ifdef _WIN32
using Handle = uintptr_t;  // SOCKET
constexpr Handle kInvalidSocket = ~Handle{0};
#else
using Handle = int;
constexpr Handle kInvalidSocket = -1;
#endif

// Winsock needs WSAStartup(1.1) before any call; programs that have no
// application object of their own (probes, tests) hold one of these. Nothing
// to do on other systems.
class Library {
public:
    Library();
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_ = false;
};

// An IPv4 stream socket with the protocol number of "tcp" from the protocol database.
Handle OpenTcp();
// First IPv4 address of a host name or dotted quad. Thread-safe on both builds.
bool ResolveIPv4(const char* host, uint32_t* address);
bool Connect(Handle s, uint32_t address, uint16_t port);
// One send / recv call; the count, or -1 on error or time-out (0 from Recv: the peer closed).
int Send(Handle s, const char* data, int length);
int Recv(Handle s, char* buffer, int size);
// Waits until a recv would not block: data, the peer's end or an error is
// waiting. False only when the milliseconds ran out first (negative: no
// limit); a failed wait also gives true, so that the recv reports the error.
bool WaitReadable(Handle s, int milliseconds);
// A stream socket listening on 127.0.0.1 at a port the system chooses,
// which *port receives; kInvalidSocket on failure. Only this machine can
// reach it.
Handle ListenLoopback(uint16_t* port);
// The next connection to a listening socket, waiting up to the milliseconds
// given (negative: no limit); kInvalidSocket when none came or on error.
Handle Accept(Handle listener, int milliseconds);
// SO_RCVTIMEO (kind 0) or SO_SNDTIMEO (other kinds), in milliseconds.
bool SetTimeout(Handle s, int milliseconds, int kind);
bool Close(Handle s);

// Owns one socket; closes it when destroyed.
class Socket {
public:
    Socket() = default;
    explicit Socket(Handle h) : h_(h) {}
    ~Socket() { Reset(); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket(Socket&& other) noexcept : h_(other.Release()) {}
    Socket& operator=(Socket&& other) noexcept
    {
        if (this != &other) {
            Reset();
            h_ = other.Release();
        }
        return *this;
    }

    Handle Get() const { return h_; }
    bool Valid() const { return h_ != kInvalidSocket; }
    Handle Release()
    {
        Handle h = h_;
        h_ = kInvalidSocket;
        return h;
    }
    // Closes the socket. The handle is given up even when the close reports
    // an error: POSIX releases the descriptor regardless, and retrying could
    // close a descriptor another thread has been handed since.
    void Reset()
    {
        if (h_ != kInvalidSocket)
            Close(Release());
    }

private:
    Handle h_ = kInvalidSocket;
};

}  // namespace sock
