#include "platform/devtools/WebSocket.h"

#include <algorithm>
#include <bit>
#include <chrono>

#include "platform/AsciiCase.h"
#include "platform/HttpHeader.h"
#include "platform/devtools/Base64.h"

namespace ws {

namespace {

constexpr std::string_view kAcceptGuid = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";
constexpr std::string_view kCrLf = "\r\n";
// What one recv may add to the read buffer.
constexpr size_t kReadChunk = 64 * 1024;
// A buffer grown by a large message is given back once it has been emptied.
constexpr size_t kKeptBufferBytes = 1024 * 1024;

// SHA-1 (FIPS 180-4) of a short input: the handshake hashes 60 bytes once.
std::array<uint8_t, 20> Sha1(std::string_view data)
{
    std::string m(data);
    const uint64_t bits = static_cast<uint64_t>(data.size()) * 8;
    m.push_back('\x80');
    while (m.size() % 64 != 56)
        m.push_back('\0');
    for (int shift = 56; shift >= 0; shift -= 8)
        m.push_back(static_cast<char>(bits >> shift));

    uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    for (size_t block = 0; block < m.size(); block += 64) {
        uint32_t w[80];
        for (int i = 0; i < 16; ++i) {
            const auto* p = reinterpret_cast<const uint8_t*>(m.data() + block + 4 * i);
            w[i] = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
        }
        for (int i = 16; i < 80; ++i)
            w[i] = std::rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            uint32_t f, k;
            if (i < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999;
            } else if (i < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1;
            } else if (i < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDC;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6;
            }
            const uint32_t next = std::rotl(a, 5) + f + e + k + w[i];
            e = d;
            d = c;
            c = std::rotl(b, 30);
            b = a;
            a = next;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
    }
    std::array<uint8_t, 20> digest{};
    for (int i = 0; i < 20; ++i)
        digest[i] = static_cast<uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
}

// Whether a comma-separated field value lists the token (ASCII case ignored).
bool ListsToken(std::string_view list, std::string_view token)
{
    while (!list.empty()) {
        const size_t comma = list.find(',');
        if (EqualsIgnoringAsciiCase(TrimBlanks(list.substr(0, comma)), token))
            return true;
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return false;
}

// The answer switches to the protocol the request asked for and nothing else:
// a server that turned on an extension or a subprotocol would send frames
// this client cannot read.
bool AcceptsUpgrade(std::string_view header, std::string_view key)
{
    constexpr std::string_view kSwitching = "HTTP/1.1 101";
    if (header.substr(0, kSwitching.size()) != kSwitching ||
        (header.size() > kSwitching.size() && header[kSwitching.size()] != ' ' &&
         header[kSwitching.size()] != '\r'))
        return false;
    const auto upgrade = FindHeaderField(header, "Upgrade");
    const auto connection = FindHeaderField(header, "Connection");
    const auto accept = FindHeaderField(header, "Sec-WebSocket-Accept");
    return upgrade && ListsToken(*upgrade, "websocket") && connection && ListsToken(*connection, "Upgrade") &&
           accept && *accept == AcceptKey(key) && !FindHeaderField(header, "Sec-WebSocket-Extensions") &&
           !FindHeaderField(header, "Sec-WebSocket-Protocol");
}

bool KnownOpcode(uint8_t op)
{
    return op <= 2 || (op >= 8 && op <= 10);
}

// Characters that would break the request line or a header field.
bool AllPrintable(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c > ' ' && c != '\x7f'; });
}

}  // namespace

class Client::Deadline {
public:
    explicit Deadline(int timeoutMs)
        : forever_(timeoutMs < 0), end_(Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0)))
    {
    }
    // -1 for no limit, else what is left (0 once past).
    int RemainingMs() const
    {
        if (forever_)
            return -1;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now()).count();
        return left > 0 ? static_cast<int>(left) : 0;
    }

private:
    using Clock = std::chrono::steady_clock;
    bool forever_;
    Clock::time_point end_;
};

std::optional<Url> ParseUrl(std::string_view url)
{
    constexpr std::string_view kScheme = "ws://";
    if (!AllPrintable(url) || url.size() < kScheme.size() ||
        !EqualsIgnoringAsciiCase(url.substr(0, kScheme.size()), kScheme))
        return std::nullopt;
    url.remove_prefix(kScheme.size());
    const size_t pathStart = url.find_first_of("/?");
    const std::string_view authority = url.substr(0, pathStart);
    const std::string_view rest = pathStart == std::string_view::npos ? std::string_view() : url.substr(pathStart);
    // A fragment has no place in a WebSocket URL; user info and IPv6 literals are not supported.
    if (rest.find('#') != std::string_view::npos || authority.find_first_of("@[]") != std::string_view::npos)
        return std::nullopt;

    Url parsed;
    const size_t colon = authority.find(':');
    parsed.host = std::string(authority.substr(0, colon));
    if (parsed.host.empty())
        return std::nullopt;
    if (colon != std::string_view::npos) {
        const std::string_view port = authority.substr(colon + 1);
        if (port.empty() || port.size() > 5 || !std::all_of(port.begin(), port.end(), [](char c) {
                return c >= '0' && c <= '9';
            }))
            return std::nullopt;
        unsigned value = 0;
        for (char c : port)
            value = value * 10 + static_cast<unsigned>(c - '0');
        if (value == 0 || value > 65535)
            return std::nullopt;
        parsed.port = static_cast<uint16_t>(value);
    }
    parsed.path = rest.empty() ? "/" : rest.front() == '?' ? "/" + std::string(rest) : std::string(rest);
    return parsed;
}

std::string AcceptKey(std::string_view secWebSocketKey)
{
    std::string input(secWebSocketKey);
    input += kAcceptGuid;
    const std::array<uint8_t, 20> digest = Sha1(input);
    return devtools::EncodeBase64(digest.data(), digest.size());
}

std::string EncodeFrame(Opcode opcode, std::string_view payload, bool fin, const std::array<uint8_t, 4>& mask)
{
    constexpr uint8_t kMasked = 0x80;
    std::string frame;
    frame.reserve(14 + payload.size());
    frame.push_back(static_cast<char>((fin ? 0x80 : 0) | static_cast<uint8_t>(opcode)));
    const uint64_t size = payload.size();
    if (size <= 125) {
        frame.push_back(static_cast<char>(kMasked | size));
    } else if (size <= 0xFFFF) {
        frame.push_back(static_cast<char>(kMasked | 126));
        frame.push_back(static_cast<char>(size >> 8));
        frame.push_back(static_cast<char>(size));
    } else {
        frame.push_back(static_cast<char>(kMasked | 127));
        for (int shift = 56; shift >= 0; shift -= 8)
            frame.push_back(static_cast<char>(size >> shift));
    }
    frame.append(reinterpret_cast<const char*>(mask.data()), mask.size());
    const size_t start = frame.size();
    frame.append(payload);
    for (size_t i = 0; i < payload.size(); ++i)
        frame[start + i] = static_cast<char>(frame[start + i] ^ mask[i % 4]);
    return frame;
}

Client::Client()
{
    // Masks need not be secret from this peer, only differ from frame to frame.
    std::random_device device;
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::seed_seq seeds{device(), device(), static_cast<uint32_t>(now), static_cast<uint32_t>(now >> 32)};
    random_.seed(seeds);
}

Client::~Client() { Close(); }

bool Client::Connect(const Url& url, int timeoutMs)
{
    const Deadline deadline(timeoutMs);
    Close();
    ResetReadState();
    peerCloseCode_ = 0;
    closeSent_ = false;

    uint32_t address = 0;
    if (!sock::ResolveIPv4(url.host.c_str(), &address))
        return false;
    socket_ = sock::Socket(sock::OpenTcp());
    if (!socket_.Valid() || !sock::Connect(socket_.Get(), address, url.port) || !Handshake(url, deadline)) {
        socket_.Reset();
        ResetReadState();
        return false;
    }
    open_ = true;
    return true;
}

bool Client::Handshake(const Url& url, const Deadline& deadline)
{
    std::array<uint8_t, 16> nonce{};
    {
        std::lock_guard<std::mutex> lock(sendLock_);
        for (uint8_t& byte : nonce)
            byte = static_cast<uint8_t>(random_());
    }
    const std::string key = devtools::EncodeBase64(nonce.data(), nonce.size());
    std::string request;
    request.append("GET ").append(url.path).append(" HTTP/1.1").append(kCrLf);
    request.append("Host: ").append(url.host).append(":").append(std::to_string(url.port)).append(kCrLf);
    request.append("Upgrade: websocket").append(kCrLf);
    request.append("Connection: Upgrade").append(kCrLf);
    request.append("Sec-WebSocket-Key: ").append(key).append(kCrLf);
    request.append("Sec-WebSocket-Version: 13").append(kCrLf);
    request.append(kCrLf);
    if (!WriteAll(request))
        return false;

    // Frames may follow the header in the same read; they stay in the buffer.
    size_t end;
    while ((end = in_.find("\r\n\r\n")) == std::string::npos) {
        if (in_.size() >= kMaxHandshakeBytes || ReadMore(deadline) != Fill::Read)
            return false;
    }
    if (end + 4 > kMaxHandshakeBytes)
        return false;
    inBegin_ = end + 4;
    return AcceptsUpgrade(std::string_view(in_).substr(0, end + 2), key);
}

bool Client::SendText(std::string_view text) { return SendFrame(Opcode::Text, text); }

bool Client::SendBinary(std::string_view bytes) { return SendFrame(Opcode::Binary, bytes); }

bool Client::SendFrame(Opcode opcode, std::string_view payload)
{
    std::lock_guard<std::mutex> lock(sendLock_);
    if (!open_ || closeSent_)
        return false;
    if (!WriteFrameLocked(opcode, payload)) {
        open_ = false;
        return false;
    }
    return true;
}

bool Client::WriteFrameLocked(Opcode opcode, std::string_view payload)
{
    const uint32_t bits = random_();
    const std::array<uint8_t, 4> mask = {static_cast<uint8_t>(bits >> 24), static_cast<uint8_t>(bits >> 16),
                                         static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits)};
    return WriteAll(EncodeFrame(opcode, payload, true, mask));
}

void Client::SendCloseLocked(std::optional<uint16_t> code)
{
    if (closeSent_ || !socket_.Valid())
        return;
    closeSent_ = true;
    std::string payload;
    if (code) {
        payload.push_back(static_cast<char>(*code >> 8));
        payload.push_back(static_cast<char>(*code & 0xFF));
    }
    WriteFrameLocked(Opcode::Close, payload);
}

bool Client::WriteAll(std::string_view bytes)
{
    constexpr size_t kMaxSend = size_t{1} << 30;
    while (!bytes.empty()) {
        const int n = sock::Send(socket_.Get(), bytes.data(), static_cast<int>(std::min(bytes.size(), kMaxSend)));
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

void Client::Close(uint16_t code)
{
    std::lock_guard<std::mutex> lock(sendLock_);
    if (open_)
        SendCloseLocked(code);
    open_ = false;
    socket_.Reset();
}

std::optional<Message> Client::Receive(int timeoutMs)
{
    const Deadline deadline(timeoutMs);
    while (open_) {
        Frame frame;
        uint16_t failCode = kCloseProtocolError;
        switch (ParseFrame(&frame, &failCode)) {
        case Parse::Failed:
            Fail(failCode);
            return std::nullopt;
        case Parse::NeedMore:
            switch (ReadMore(deadline)) {
            case Fill::Read:
                break;
            case Fill::TimedOut:
                return std::nullopt;
            case Fill::Ended:
                open_ = false;
                return std::nullopt;
            }
            break;
        case Parse::Frame:
            if (std::optional<Message> message = TakeFrame(frame))
                return message;
            break;
        }
    }
    return std::nullopt;
}

Client::Fill Client::ReadMore(const Deadline& deadline)
{
    if (inBegin_ > 0) {
        in_.erase(0, inBegin_);
        inBegin_ = 0;
    }
    if (in_.empty() && in_.capacity() > kKeptBufferBytes)
        std::string().swap(in_);
    if (!sock::WaitReadable(socket_.Get(), deadline.RemainingMs()))
        return Fill::TimedOut;
    const size_t had = in_.size();
    in_.resize(had + kReadChunk);
    const int n = sock::Recv(socket_.Get(), in_.data() + had, static_cast<int>(kReadChunk));
    in_.resize(had + static_cast<size_t>(std::max(n, 0)));
    return n > 0 ? Fill::Read : Fill::Ended;
}

Client::Parse Client::ParseFrame(Frame* frame, uint16_t* failCode)
{
    const std::string_view in = std::string_view(in_).substr(inBegin_);
    if (in.size() < 2)
        return Parse::NeedMore;
    const auto first = static_cast<uint8_t>(in[0]);
    const auto second = static_cast<uint8_t>(in[1]);
    const bool fin = first & 0x80;
    const uint8_t op = first & 0x0F;
    const uint8_t shortLength = second & 0x7F;
    // No extension was negotiated, so no reserved bit may be set; a server never masks.
    if ((first & 0x70) || (second & 0x80) || !KnownOpcode(op))
        return Parse::Failed;
    const bool control = op & 0x08;
    if (control && (!fin || shortLength > 125))
        return Parse::Failed;

    const size_t headerSize = shortLength == 127 ? 10 : shortLength == 126 ? 4 : 2;
    if (in.size() < headerSize)
        return Parse::NeedMore;
    uint64_t length = shortLength;
    if (headerSize > 2) {
        length = 0;
        for (size_t i = 2; i < headerSize; ++i)
            length = length << 8 | static_cast<uint8_t>(in[i]);
    }
    if (length >> 63)
        return Parse::Failed;
    // Refused from the header alone, before a byte of it is kept; a
    // continuation counts with the fragments before it.
    const size_t assembled = op == static_cast<uint8_t>(Opcode::Continuation) ? fragments_.size() : 0;
    if (length > kMaxMessageBytes - assembled) {
        *failCode = kCloseTooBig;
        return Parse::Failed;
    }
    if (in.size() - headerSize < length)
        return Parse::NeedMore;
    frame->fin = fin;
    frame->opcode = static_cast<Opcode>(op);
    frame->payload = in.substr(headerSize, static_cast<size_t>(length));
    inBegin_ += headerSize + static_cast<size_t>(length);
    return Parse::Frame;
}

std::optional<Message> Client::TakeFrame(const Frame& frame)
{
    switch (frame.opcode) {
    case Opcode::Ping:
        SendFrame(Opcode::Pong, frame.payload);
        return std::nullopt;
    case Opcode::Pong:
        // Unasked for, or the answer to a ping nobody waits on.
        return std::nullopt;
    case Opcode::Close:
        TakeClose(frame.payload);
        return std::nullopt;
    case Opcode::Text:
    case Opcode::Binary:
        if (fragmentOpcode_) {
            Fail(kCloseProtocolError);
            return std::nullopt;
        }
        if (frame.fin)
            return Message{frame.opcode, std::string(frame.payload)};
        fragmentOpcode_ = frame.opcode;
        fragments_.assign(frame.payload);
        return std::nullopt;
    case Opcode::Continuation:
        break;
    }
    if (!fragmentOpcode_) {
        Fail(kCloseProtocolError);
        return std::nullopt;
    }
    fragments_.append(frame.payload);
    if (!frame.fin)
        return std::nullopt;
    Message message{*fragmentOpcode_, std::move(fragments_)};
    fragments_ = std::string();
    fragmentOpcode_.reset();
    return message;
}

void Client::TakeClose(std::string_view payload)
{
    // A code is two bytes; one byte alone is malformed.
    if (payload.size() == 1) {
        Fail(kCloseProtocolError);
        return;
    }
    std::optional<uint16_t> code;
    if (payload.size() >= 2)
        code = static_cast<uint16_t>(static_cast<uint8_t>(payload[0]) << 8 | static_cast<uint8_t>(payload[1]));
    peerCloseCode_ = code.value_or(0);
    std::lock_guard<std::mutex> lock(sendLock_);
    SendCloseLocked(code);
    open_ = false;
    // The closing handshake is complete and the peer sends nothing more, so
    // nothing unread can turn this into a reset. Senders check open_ under
    // this lock before they touch the socket.
    socket_.Reset();
}

// The socket stays until Close: the peer answers the close frame and ends the
// connection, whereas closing now, with its bytes unread, could reset the
// connection and lose the close frame on the way.
void Client::Fail(uint16_t code)
{
    std::lock_guard<std::mutex> lock(sendLock_);
    SendCloseLocked(code);
    open_ = false;
}

void Client::ResetReadState()
{
    in_.clear();
    inBegin_ = 0;
    fragments_.clear();
    fragmentOpcode_.reset();
}

}  // namespace ws
