#include "platform/socket/Socket.h"

#include <chrono>
#include <cstring>

#ifdef _WIN32
#include <winsock.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <poll.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#endif

namespace sock {

#ifdef _WIN32

Library::Library()
{
    WSADATA data;
    ok_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

Library::~Library()
{
    if (ok_)
        WSACleanup();
}

Handle OpenTcp()
{
    // Winsock keeps the protocol entry per thread, so this is safe on a worker.
    const protoent* proto = getprotobyname("tcp");
    SOCKET s = socket(AF_INET, SOCK_STREAM, proto ? proto->p_proto : IPPROTO_TCP);
    return s == INVALID_SOCKET ? kInvalidSocket : static_cast<Handle>(s);
}

bool ResolveIPv4(const char* host, uint32_t* address)
{
    if (!host || !address)
        return false;
    // Winsock's result lives in per-thread storage.
    const hostent* entry = gethostbyname(host);
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list[0])
        return false;
    std::memcpy(address, entry->h_addr_list[0], 4);
    return true;
}

bool Connect(Handle s, uint32_t address, uint16_t port)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    return connect(static_cast<SOCKET>(s), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
}

int Send(Handle s, const char* data, int length)
{
    int n = send(static_cast<SOCKET>(s), data, length, 0);
    return n == SOCKET_ERROR ? -1 : n;
}

int Recv(Handle s, char* buffer, int size)
{
    int n = recv(static_cast<SOCKET>(s), buffer, size, 0);
    return n == SOCKET_ERROR ? -1 : n;
}

bool WaitReadable(Handle s, int milliseconds)
{
    // Winsock 1.1 has no poll; select on one socket is not bound by FD_SETSIZE there.
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(static_cast<SOCKET>(s), &readable);
    timeval limit{};
    limit.tv_sec = milliseconds / 1000;
    limit.tv_usec = (milliseconds % 1000) * 1000;
    return select(0, &readable, nullptr, nullptr, milliseconds < 0 ? nullptr : &limit) != 0;
}

bool SetTimeout(Handle s, int milliseconds, int kind)
{
    // Winsock takes the time-out as a DWORD of milliseconds.
    DWORD value = static_cast<DWORD>(milliseconds);
    return setsockopt(static_cast<SOCKET>(s), SOL_SOCKET, kind == 0 ? SO_RCVTIMEO : SO_SNDTIMEO,
                      reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

bool Close(Handle s) { return closesocket(static_cast<SOCKET>(s)) == 0; }

namespace {
SOCKET Native(Handle s) { return static_cast<SOCKET>(s); }
using AddressLength = int;
}  // namespace

Handle Accept(Handle listener, int milliseconds)
{
    if (!WaitReadable(listener, milliseconds))
        return kInvalidSocket;
    SOCKET s = accept(Native(listener), nullptr, nullptr);
    return s == INVALID_SOCKET ? kInvalidSocket : static_cast<Handle>(s);
}

#else

Library::Library() { ok_ = true; }
Library::~Library() = default;

Handle OpenTcp()
{
    // getprotobyname keeps its result in static storage; two passes may open at once.
    protoent entry{};
    protoent* found = nullptr;
    char buffer[1024];
    int protocol = IPPROTO_TCP;
    if (getprotobyname_r("tcp", &entry, buffer, sizeof buffer, &found) == 0 && found)
        protocol = found->p_proto;
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, protocol);
    return s < 0 ? kInvalidSocket : s;
}

bool ResolveIPv4(const char* host, uint32_t* address)
{
    if (!host || !address)
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &result) != 0 || !result)
        return false;
    bool found = false;
    for (const addrinfo* ai = result; ai; ai = ai->ai_next) {
        if (ai->ai_family == AF_INET && ai->ai_addrlen >= sizeof(sockaddr_in)) {
            *address = reinterpret_cast<const sockaddr_in*>(ai->ai_addr)->sin_addr.s_addr;
            found = true;
            break;
        }
    }
    freeaddrinfo(result);
    return found;
}

bool Connect(Handle s, uint32_t address, uint16_t port)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    if (connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
        return true;
    if (errno != EINTR)
        return false;
    // An interrupted connect goes on in the background; calling connect again
    // would report EALREADY or EISCONN. Wait for it to finish and ask how.
    pollfd wait{s, POLLOUT, 0};
    int ready;
    do {
        ready = poll(&wait, 1, -1);
    } while (ready < 0 && errno == EINTR);
    int error = 0;
    socklen_t length = sizeof error;
    return ready == 1 && getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

int Send(Handle s, const char* data, int length)
{
    // MSG_NOSIGNAL: a peer that has gone must give an error, not end the process.
    ssize_t n;
    do {
        n = send(s, data, static_cast<size_t>(length), MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : static_cast<int>(n);
}

int Recv(Handle s, char* buffer, int size)
{
    ssize_t n;
    do {
        n = recv(s, buffer, static_cast<size_t>(size), 0);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : static_cast<int>(n);
}

bool WaitReadable(Handle s, int milliseconds)
{
    // poll, not select: a descriptor number past FD_SETSIZE is fine.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
    pollfd wait{s, POLLIN, 0};
    for (int left = milliseconds;;) {
        const int ready = poll(&wait, 1, left);
        if (ready >= 0 || errno != EINTR)
            return ready != 0;
        if (milliseconds >= 0) {
            // A signal cut the wait short: wait out only what is left.
            const auto rest = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
            left = rest > 0 ? static_cast<int>(rest) : 0;
        }
    }
}

bool SetTimeout(Handle s, int milliseconds, int kind)
{
    timeval value{};
    value.tv_sec = milliseconds / 1000;
    value.tv_usec = (milliseconds % 1000) * 1000;
    return setsockopt(s, SOL_SOCKET, kind == 0 ? SO_RCVTIMEO : SO_SNDTIMEO, &value, sizeof value) == 0;
}

bool Close(Handle s) { return close(s) == 0; }

namespace {
int Native(Handle s) { return s; }
using AddressLength = socklen_t;
}  // namespace

Handle Accept(Handle listener, int milliseconds)
{
    if (!WaitReadable(listener, milliseconds))
        return kInvalidSocket;
    for (;;) {
        // Not inherited by children started later, as OpenTcp's sockets are not.
        const int s = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (s >= 0 || errno != EINTR)
            return s >= 0 ? s : kInvalidSocket;
    }
}

#endif

Handle ListenLoopback(uint16_t* port)
{
    Socket s(OpenTcp());
    if (!s.Valid())
        return kInvalidSocket;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    AddressLength length = sizeof address;
    if (bind(Native(s.Get()), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(Native(s.Get()), 4) != 0 ||
        getsockname(Native(s.Get()), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return kInvalidSocket;
    if (port)
        *port = ntohs(address.sin_port);
    return s.Release();
}


}  // namespace sock
