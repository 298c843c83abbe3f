#include "updater/HttpSocket.h"

#include "updater/Alert.h"
#include "updater/HttpText.h"

bool CHttpSocket::OpenTcpSocket()
{
    if (connected_)
        return false;
    socket_ = sock::Socket(sock::OpenTcp());
    return socket_.Valid();
}

bool CHttpSocket::ConnectToHost(const char* host, int /*port*/)
{
    constexpr uint16_t kHttpPort = 80;
    uint32_t address = 0;
    if (!host || !socket_.Valid() || !sock::ResolveIPv4(host, &address))
        return false;
    connected_ = sock::Connect(socket_.Get(), address, kHttpPort);
    return connected_;
}

const std::string& CHttpSocket::ComposeGetRequest(const std::string& host, const std::string& path,
                                                  const char* cookie, const char* referer, long rangeStart,
                                                  long rangeEnd)
{
    request_ = ::ComposeGetRequest(host, path, cookie, referer, rangeStart, rangeEnd);
    return request_;
}

bool CHttpSocket::SendRequestText(const char* data, size_t length)
{
    if (!connected_)
        return false;
    if (!data) {
        data = request_.data();
        if (length == 0)
            length = request_.size();
    }
    if (sock::Send(socket_.Get(), data, static_cast<int>(length)) < 0) {
        alert_.Show("send()函数执行失败!", "错误");
        return false;
    }
    ReadHeaderBlock();
    return true;
}

CHttpSocket::HeaderState CHttpSocket::ReadHeaderBlock()
{
    if (headerState_ != HeaderState::NotRead)
        return headerState_;
    header_.clear();
    header_.reserve(1024);
    while (header_.size() < kMaxHeaderBytes) {
        char c;
        if (ReceiveChunk(&c, 1) != 1)
            return headerState_ = HeaderState::Broken;
        header_.push_back(c);
        if (header_.size() >= 4 && header_.compare(header_.size() - 4, 4, "\r\n\r\n") == 0)
            return headerState_ = HeaderState::Complete;
    }
    return headerState_ = HeaderState::TooLong;
}

int CHttpSocket::HttpStatusCode() const
{
    if (headerState_ != HeaderState::Complete)
        return -1;
    return ParseStatusCode(header_);
}

std::optional<std::string> CHttpSocket::FindHeaderValue(std::string_view name) const
{
    if (headerState_ != HeaderState::Complete)
        return std::nullopt;
    std::optional<std::string_view> value = FindHeaderField(header_, name);
    if (!value)
        return std::nullopt;
    return std::string(*value);
}

int CHttpSocket::ReceiveChunk(char* buffer, int size)
{
    if (!connected_)
        return 0;
    int n = sock::Recv(socket_.Get(), buffer, size);
    if (n <= 0)
        CloseConnection();
    return n;
}

bool CHttpSocket::SetIoTimeout(int milliseconds, int kind)
{
    return socket_.Valid() && sock::SetTimeout(socket_.Get(), milliseconds, kind);
}

void CHttpSocket::CloseConnection()
{
    socket_.Reset();
    connected_ = false;
}
