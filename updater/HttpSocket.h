#pragma once
// One HTTP/1.1 GET over one TCP connection to port 80.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/socket/Socket.h"

class IAlert;

class CHttpSocket {
public:
    // A header that has not ended within this many bytes is refused.
    static constexpr size_t kMaxHeaderBytes = 16 * 1024;

    enum class HeaderState { NotRead, Complete, TooLong, Broken };

    explicit CHttpSocket(IAlert& alert) : alert_(alert) {}
    virtual ~CHttpSocket() { CloseConnection(); }
    CHttpSocket(const CHttpSocket&) = delete;
    CHttpSocket& operator=(const CHttpSocket&) = delete;

    // False when already connected or when no socket could be created.
    bool OpenTcpSocket();
    // Connects to port 80 of the host whatever port is named: the update
    // servers have only ever been reached there.
    bool ConnectToHost(const char* host, int port);
    // Builds the request (see ComposeGetRequest in HttpText.h) and keeps it for SendRequestText.
    const std::string& ComposeGetRequest(const std::string& host, const std::string& path, const char* cookie,
                                         const char* referer, long rangeStart, long rangeEnd);
    // Sends the given bytes, or the composed request when data is null, in
    // one send. On failure shows the send-failure alert and returns false;
    // otherwise reads the response header and returns true.
    bool SendRequestText(const char* data, size_t length);
    // Receives the header one byte per recv, so that the body starts at the
    // first byte after the empty line; later calls return what was read.
    HeaderState ReadHeaderBlock();
    const std::string& Header() const { return header_; }

    int HttpStatusCode() const;
    std::optional<std::string> FindHeaderValue(std::string_view name) const;

    // One recv of at most size bytes. 0 or -1 (closed, error, time-out) also
    // closes the connection; once closed, 0.
    int ReceiveChunk(char* buffer, int size);
    bool SetIoTimeout(int milliseconds, int kind);
    void CloseConnection();

    bool Connected() const { return connected_; }

private:
    IAlert& alert_;
    sock::Socket socket_;
    bool connected_ = false;
    std::string request_;
    std::string header_;
    HeaderState headerState_ = HeaderState::NotRead;
};
