// The WebSocket client: the parts that need no peer, then whole exchanges
// with tests/support/ws_echo_server.py, a real server (the websockets
// package) beside a raw TCP one that plays scripted bytes and reports every
// frame the client sends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <deque>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/devtools/WebSocket.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using namespace std::string_view_literals;
using Clock = std::chrono::steady_clock;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Hex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

// Bytes of every value, over and over, in a repeatable order.
std::string Pattern(size_t size, unsigned seed = 0)
{
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 7 + seed * 13 + (i >> 8)) & 0xFF);
    return s;
}

long long MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// --- Without a peer ------------------------------------------------------

TEST(WebSocketHandshake, AcceptKeyOfTheRfcExample)
{
    EXPECT_EQ(ws::AcceptKey("dGhlIHNhbXBsZSBub25jZQ=="), "s3pPLMBiTxaQ9kYGzzhZRbK+xOo=");
}

TEST(WebSocketFrame, HeaderTakesTheShortestLengthFormAndThePayloadIsMasked)
{
    struct Case {
        ws::Opcode opcode;
        bool fin;
        size_t size;
        std::vector<uint8_t> header;  // up to the masking key
    };
    const Case cases[] = {
        {ws::Opcode::Text, true, 0, {0x81, 0x80}},
        {ws::Opcode::Binary, true, 125, {0x82, 0xFD}},
        {ws::Opcode::Text, false, 126, {0x01, 0xFE, 0x00, 0x7E}},
        {ws::Opcode::Continuation, true, 65535, {0x80, 0xFE, 0xFF, 0xFF}},
        {ws::Opcode::Continuation, false, 65536, {0x00, 0xFF, 0, 0, 0, 0, 0, 1, 0, 0}},
        {ws::Opcode::Ping, true, 3, {0x89, 0x83}},
    };
    const std::array<uint8_t, 4> mask = {0x3C, 0xA5, 0x0F, 0xF0};
    for (const Case& c : cases) {
        SCOPED_TRACE("payload of " + std::to_string(c.size));
        const std::string payload = Pattern(c.size);
        const std::string frame = ws::EncodeFrame(c.opcode, payload, c.fin, mask);
        ASSERT_EQ(frame.size(), c.header.size() + 4 + c.size);
        EXPECT_EQ(Hex(frame.substr(0, c.header.size())),
                  Hex(std::string(c.header.begin(), c.header.end())));
        EXPECT_EQ(Hex(frame.substr(c.header.size(), 4)), "3ca50ff0");
        std::string unmasked = frame.substr(c.header.size() + 4);
        for (size_t i = 0; i < unmasked.size(); ++i)
            unmasked[i] = static_cast<char>(unmasked[i] ^ mask[i % 4]);
        EXPECT_TRUE(unmasked == payload);
    }
}

TEST(WebSocketUrl, SplitsHostPortAndPath)
{
    struct Case {
        const char* url;
        const char* host;
        uint16_t port;
        const char* path;
    };
    const Case good[] = {
        {"ws://127.0.0.1:9222/devtools/browser/7f3a-11", "127.0.0.1", 9222, "/devtools/browser/7f3a-11"},
        {"ws://localhost/", "localhost", 80, "/"},
        {"WS://example.test:65535", "example.test", 65535, "/"},
        {"ws://h:1/json?x=1&y=/2", "h", 1, "/json?x=1&y=/2"},
        {"ws://h?x", "h", 80, "/?x"},
    };
    for (const Case& c : good) {
        const std::optional<ws::Url> url = ws::ParseUrl(c.url);
        ASSERT_TRUE(url) << c.url;
        EXPECT_EQ(url->host, c.host) << c.url;
        EXPECT_EQ(url->port, c.port) << c.url;
        EXPECT_EQ(url->path, c.path) << c.url;
    }
    const char* bad[] = {
        "http://h/",    "wss://h/",         "ws:/h/",        "ws://",      "ws://:80/",     "ws://h:/",
        "ws://h:0/",    "ws://h:65536/",    "ws://h:123456", "ws://h:8a/", "ws://u@h/",     "ws://[::1]:80/",
        "ws://h/p#top", "ws://h/a b",       "ws://h/\r\nX: y",
    };
    for (const char* url : bad)
        EXPECT_FALSE(ws::ParseUrl(url)) << url;
}

TEST(WebSocketConnect, AClosedPortIsRefusedAtOnce)
{
    // A port that was free a moment ago and has no listener now.
    sock::Socket probe(sock::OpenTcp());
    ASSERT_TRUE(probe.Valid());
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    ASSERT_EQ(bind(probe.Get(), reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(getsockname(probe.Get(), reinterpret_cast<sockaddr*>(&at), &length), 0);
    probe.Reset();

    ws::Client client;
    const auto start = Clock::now();
    EXPECT_FALSE(client.Connect({"127.0.0.1", ntohs(at.sin_port), "/"}, 10000));
    EXPECT_LT(MillisecondsSince(start), 2000);
    EXPECT_FALSE(client.IsOpen());
    EXPECT_FALSE(client.SendText("nobody"));
    EXPECT_FALSE(client.Receive(0));
}

// --- Against the peer ----------------------------------------------------

// Runs ws_echo_server.py with pipes on its standard input and output. Its
// reports are read line by line and handed out per request path.
class PeerServer {
public:
    PeerServer() = default;
    ~PeerServer() { Stop(); }
    PeerServer(const PeerServer&) = delete;
    PeerServer& operator=(const PeerServer&) = delete;

    bool Start()
    {
        int input[2];
        int output[2];
        if (pipe2(input, O_CLOEXEC) != 0)
            return false;
        if (pipe2(output, O_CLOEXEC) != 0) {
            close(input[0]);
            close(input[1]);
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        std::string python = "/usr/bin/python3";
        std::string script = MORVANE_WS_PEER;
        char* argv[] = {python.data(), script.data(), nullptr};
        const bool spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        toServer_ = input[1];
        fromServer_ = output[0];
        if (!spawned) {
            pid_ = 0;
            return false;
        }
        const std::optional<std::string> first = ReadLine(Clock::now() + 20s);
        std::istringstream ports(first.value_or(""));
        std::string word;
        return ports >> word >> wsPort_ >> rawPort_ && word == "ports";
    }

    // Closes the server's standard input, its signal to end; true when it
    // ended by itself, cleanly, and has been reaped.
    bool Stop()
    {
        if (toServer_ >= 0)
            close(toServer_);
        toServer_ = -1;
        bool clean = false;
        if (pid_ > 0) {
            int status = 0;
            bool ended = false;
            for (int i = 0; i < 500 && !ended; ++i) {
                ended = waitpid(pid_, &status, WNOHANG) == pid_;
                if (!ended)
                    std::this_thread::sleep_for(10ms);
            }
            if (!ended) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
            }
            clean = ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        pid_ = 0;
        if (fromServer_ >= 0)
            close(fromServer_);
        fromServer_ = -1;
        return clean;
    }

    pid_t Pid() const { return pid_; }

    ws::Url Ws(const std::string& path) const { return {"127.0.0.1", wsPort_, path}; }
    // The raw server's script is its path.
    ws::Url Raw(const std::vector<std::string>& steps) const
    {
        std::string path = "/raw";
        for (const std::string& step : steps)
            path += "/" + step;
        return {"127.0.0.1", rawPort_, path};
    }

    // What the server reported about the connection to the path, up to its
    // end ("eof"), without the path. Empty with a failure when it did not end.
    std::vector<std::string> Reports(const std::string& path, int timeoutMs = 10000)
    {
        const std::string prefix = path + " ";
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        std::vector<std::string> mine;
        for (size_t next = 0;;) {
            while (next < pending_.size()) {
                if (pending_[next].starts_with(prefix)) {
                    std::string line = pending_[next].substr(prefix.size());
                    pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(next));
                    if (line == "eof")
                        return mine;
                    mine.push_back(line);
                } else {
                    ++next;
                }
            }
            std::optional<std::string> line = ReadLine(deadline);
            if (!line) {
                ADD_FAILURE() << "no end of " << path << " reported";
                return {};
            }
            pending_.push_back(*line);
        }
    }

    // The frames the client sent on that connection, as "OPCODE PAYLOAD", masks left out.
    std::vector<std::string> Frames(const std::string& path)
    {
        std::vector<std::string> frames;
        for (const std::string& report : Reports(path)) {
            std::istringstream words(report);
            std::string kind, opcode, mask, payload;
            words >> kind >> opcode >> mask >> payload;
            frames.push_back(opcode + " " + payload);
        }
        return frames;
    }

private:
    std::optional<std::string> ReadLine(Clock::time_point deadline)
    {
        for (;;) {
            const size_t end = unread_.find('\n');
            if (end != std::string::npos) {
                std::string line = unread_.substr(0, end);
                unread_.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            pollfd wait{fromServer_, POLLIN, 0};
            if (left <= 0 || poll(&wait, 1, static_cast<int>(left)) <= 0)
                return std::nullopt;
            char buffer[4096];
            const ssize_t n = read(fromServer_, buffer, sizeof buffer);
            if (n <= 0)
                return std::nullopt;
            unread_.append(buffer, static_cast<size_t>(n));
        }
    }

    pid_t pid_ = 0;
    int toServer_ = -1;
    int fromServer_ = -1;
    uint16_t wsPort_ = 0;
    uint16_t rawPort_ = 0;
    std::string unread_;
    std::deque<std::string> pending_;
};

// An unmasked frame as a server writes it, in hex for a raw script (short lengths only).
std::string ServerFrame(uint8_t first, std::string_view payload)
{
    return Hex(std::string(1, static_cast<char>(first)) + static_cast<char>(payload.size())) + Hex(payload);
}

class WebSocketPeer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server_.Start()) << "the peer did not start"; }
    void TearDown() override
    {
        client_.Close();
        const pid_t pid = server_.Pid();
        EXPECT_TRUE(server_.Stop()) << "the peer did not end cleanly when told to";
        EXPECT_TRUE(kill(pid, 0) == -1 && errno == ESRCH) << "the peer outlived the test";
    }

    PeerServer server_;
    ws::Client client_;
};

TEST_F(WebSocketPeer, EchoesTextAndBinary)
{
    ASSERT_TRUE(client_.Connect(server_.Ws("/echo"), 10000));
    const ws::Message messages[] = {
        {ws::Opcode::Text, "hello"},
        {ws::Opcode::Text, ""},
        {ws::Opcode::Text, "gr\xC3\xBC\xC3\x9F dich"},
        {ws::Opcode::Binary, Pattern(256)},
        {ws::Opcode::Text, std::string(126, 'x')},
        {ws::Opcode::Binary, Pattern(70000, 1)},
    };
    for (const ws::Message& sent : messages) {
        SCOPED_TRACE("payload of " + std::to_string(sent.payload.size()));
        ASSERT_TRUE(sent.opcode == ws::Opcode::Text ? client_.SendText(sent.payload)
                                                    : client_.SendBinary(sent.payload));
        const std::optional<ws::Message> echo = client_.Receive(10000);
        ASSERT_TRUE(echo);
        EXPECT_EQ(echo->opcode, sent.opcode);
        EXPECT_TRUE(echo->payload == sent.payload);
    }
    EXPECT_TRUE(client_.IsOpen());
}

TEST_F(WebSocketPeer, JoinsAFragmentedMessage)
{
    ASSERT_TRUE(client_.Connect(server_.Ws("/fragmented"), 10000));
    std::optional<ws::Message> message = client_.Receive(10000);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->opcode, ws::Opcode::Text);
    EXPECT_EQ(message->payload, "Hello, fragmented world");
    // The next message starts afresh.
    ASSERT_TRUE(client_.SendText("after"));
    message = client_.Receive(10000);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->payload, "after");
}

TEST_F(WebSocketPeer, AnswersAPingWithItsPayload)
{
    ASSERT_TRUE(client_.Connect(server_.Ws("/ping"), 10000));
    const std::optional<ws::Message> verdict = client_.Receive(10000);
    ASSERT_TRUE(verdict);
    EXPECT_EQ(verdict->payload, "pong:ok");
}

TEST_F(WebSocketPeer, CarriesAThreeMegabyteMessageBothWays)
{
    ASSERT_TRUE(client_.Connect(server_.Ws("/echo"), 10000));
    std::string frame(3 * 1024 * 1024, '\0');
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"[(i * 31 + i / 977) % 64];
    ASSERT_TRUE(client_.SendText(frame));
    const std::optional<ws::Message> echo = client_.Receive(30000);
    ASSERT_TRUE(echo);
    EXPECT_TRUE(echo->payload == frame) << "got " << echo->payload.size() << " bytes";
}

TEST_F(WebSocketPeer, EchoesTheCloseCodeOfThePeer)
{
    ASSERT_TRUE(client_.Connect(server_.Ws("/close/4001"), 10000));
    EXPECT_FALSE(client_.Receive(10000));
    EXPECT_FALSE(client_.IsOpen());
    EXPECT_EQ(client_.PeerCloseCode(), 4001);
    EXPECT_FALSE(client_.SendText("too late"));
    EXPECT_THAT(server_.Reports("/close/4001"), ElementsAre("echoed 4001"));
}

TEST_F(WebSocketPeer, ConcurrentSendsKeepTheirFramesWhole)
{
    ASSERT_TRUE(client_.Connect(server_.Ws("/echo"), 10000));
    constexpr int kSenders = 4;
    constexpr int kEach = 6;
    // Large enough that one frame takes several send calls.
    constexpr size_t kSize = 512 * 1024;
    std::vector<std::thread> senders;
    std::atomic<int> failures{0};
    for (int t = 0; t < kSenders; ++t) {
        senders.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                if (!client_.SendBinary(Pattern(kSize, static_cast<unsigned>(t * kEach + i))))
                    ++failures;
            }
        });
    }
    std::multiset<std::string> received;
    for (int i = 0; i < kSenders * kEach; ++i) {
        std::optional<ws::Message> echo = client_.Receive(30000);
        if (!echo)
            break;
        received.insert(std::move(echo->payload));
    }
    for (std::thread& sender : senders)
        sender.join();
    EXPECT_EQ(failures.load(), 0);
    std::multiset<std::string> sent;
    for (int i = 0; i < kSenders * kEach; ++i)
        sent.insert(Pattern(kSize, static_cast<unsigned>(i)));
    EXPECT_TRUE(received == sent) << received.size() << " of " << sent.size() << " came back";
    EXPECT_TRUE(client_.IsOpen());
}

TEST_F(WebSocketPeer, ConnectsOnlyWhenTheServerSwitchesAsAsked)
{
    struct Case {
        const char* answer;
        bool accepted;
    };
    const Case cases[] = {
        {"hs-ok", true},           {"hs-lenient", true},      {"hs-200", false},
        {"hs-badaccept", false},   {"hs-noupgrade", false},   {"hs-noconnection", false},
        {"hs-extension", false},   {"hs-endless", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        ws::Client client;
        const ws::Url url = server_.Raw({c.answer});
        const auto start = Clock::now();
        EXPECT_EQ(client.Connect(url, 10000), c.accepted);
        // Decided by the answer, not by the time-out.
        EXPECT_LT(MillisecondsSince(start), 5000);
        EXPECT_EQ(client.IsOpen(), c.accepted);
        client.Close();
        if (c.accepted)
            EXPECT_THAT(server_.Frames(url.path), ElementsAre("8 03e8"));
        else
            EXPECT_THAT(server_.Frames(url.path), IsEmpty());
    }
}

TEST_F(WebSocketPeer, GivesUpOnASilentServerAfterTheTimeout)
{
    const auto start = Clock::now();
    EXPECT_FALSE(client_.Connect(server_.Raw({"hs-silent"}), 300));
    const long long elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 290);
    EXPECT_LT(elapsed, 5000);
    EXPECT_FALSE(client_.IsOpen());
}

TEST_F(WebSocketPeer, ATimeoutKeepsAPartlyReadFrame)
{
    // "hello" in three writes: split in the header, then in the payload.
    // Each "wait" holds the rest back until the client says "go".
    ASSERT_TRUE(client_.Connect(server_.Raw({"hs-ok", "send-81", "wait", "send-056865", "wait", "send-6c6c6f"}),
                                10000));
    EXPECT_FALSE(client_.Receive(300));
    EXPECT_TRUE(client_.IsOpen());
    ASSERT_TRUE(client_.SendText("go"));
    EXPECT_FALSE(client_.Receive(300));
    EXPECT_TRUE(client_.IsOpen());
    ASSERT_TRUE(client_.SendText("go"));
    const std::optional<ws::Message> message = client_.Receive(10000);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->opcode, ws::Opcode::Text);
    EXPECT_EQ(message->payload, "hello");
}

TEST_F(WebSocketPeer, ControlFramesAmidAFragmentedMessage)
{
    // All in the write that carries the handshake's answer: a ping and an
    // unasked-for pong between the fragments of "Hello!", then an empty binary message.
    const ws::Url url = server_.Raw({"hs-ok", "send-" + ServerFrame(0x01, "Hel") + ServerFrame(0x89, "\x00\xff"sv) +
                                                  ServerFrame(0x8A, "xyz") + ServerFrame(0x00, "lo") +
                                                  ServerFrame(0x80, "!") + ServerFrame(0x82, "")});
    ASSERT_TRUE(client_.Connect(url, 10000));
    std::optional<ws::Message> message = client_.Receive(10000);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->opcode, ws::Opcode::Text);
    EXPECT_EQ(message->payload, "Hello!");
    message = client_.Receive(10000);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->opcode, ws::Opcode::Binary);
    EXPECT_EQ(message->payload, "");
    client_.Close();
    EXPECT_THAT(server_.Frames(url.path), ElementsAre("10 00ff", "8 03e8"));
}

TEST_F(WebSocketPeer, AnEndingOrBrokenFrameGetsOneCloseInReturn)
{
    const std::string over64MiB = "7f0000000004000001";
    struct Case {
        const char* what;
        std::vector<std::string> script;
        const char* answer;  // the client's one frame: opcode and payload
        uint16_t peerCode;
    };
    const Case cases[] = {
        {"a close with a code and a reason", {"send-" + ServerFrame(0x88, "\x03\xe9" "bye")}, "8 03e9", 1001},
        {"a close without a code", {"send-8800"}, "8 -", 0},
        {"a masked frame", {"send-818201020304" + Hex("\x69\x6b")}, "8 03ea", 0},
        {"a reserved bit", {"send-" + ServerFrame(0xC1, "hi")}, "8 03ea", 0},
        {"an unknown opcode", {"send-" + ServerFrame(0x83, "")}, "8 03ea", 0},
        {"a ping of 126 bytes", {"send-897e007e", "zeros-126"}, "8 03ea", 0},
        {"a fragmented ping", {"send-" + ServerFrame(0x09, "")}, "8 03ea", 0},
        {"a continuation without a start", {"send-" + ServerFrame(0x80, "hi")}, "8 03ea", 0},
        {"a new message amid fragments", {"send-" + ServerFrame(0x01, "a") + ServerFrame(0x81, "b")}, "8 03ea", 0},
        {"a close with one byte", {"send-" + ServerFrame(0x88, "\x03")}, "8 03ea", 0},
        {"a length with the top bit set", {"send-827f8000000000000001"}, "8 03ea", 0},
        {"a frame over 64 MiB", {"send-82" + over64MiB}, "8 03f1", 0},
        {"fragments over 64 MiB",
         {"send-017f0000000002800000", "zeros-41943040", "send-007f0000000001800001"},
         "8 03f1",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> steps = {"hs-ok"};
        steps.insert(steps.end(), c.script.begin(), c.script.end());
        const ws::Url url = server_.Raw(steps);
        ws::Client client;
        ASSERT_TRUE(client.Connect(url, 10000));
        EXPECT_FALSE(client.Receive(10000));
        EXPECT_FALSE(client.IsOpen());
        EXPECT_EQ(client.PeerCloseCode(), c.peerCode);
        EXPECT_FALSE(client.SendText("after"));
        client.Close();
        EXPECT_THAT(server_.Frames(url.path), ElementsAre(c.answer));
    }
}

TEST_F(WebSocketPeer, EachFrameHasAMaskOfItsOwn)
{
    const ws::Url url = server_.Raw({"hs-ok"});
    ASSERT_TRUE(client_.Connect(url, 10000));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(client_.SendText("same"));
    client_.Close();
    std::set<std::string> masks;
    const std::vector<std::string> reports = server_.Reports(url.path);
    ASSERT_EQ(reports.size(), 4u);
    for (const std::string& report : reports) {
        std::istringstream words(report);
        std::string kind, opcode, mask;
        words >> kind >> opcode >> mask;
        masks.insert(mask);
    }
    EXPECT_EQ(masks.size(), 4u);
    EXPECT_EQ(masks.count("none"), 0u);
}

}  // namespace
