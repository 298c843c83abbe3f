// A connect interrupted by a signal goes on in the background: the shim must
// wait for it and report how it ended, not call connect again (which says
// "already in progress" and was taken as a failure).
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/socket/Socket.h"

namespace {

std::atomic<int> g_alarms{0};
void OnAlarm(int) { ++g_alarms; }

TEST(SocketConnect, AnInterruptedConnectThatCompletesIsASuccess)
{
    // A listener whose queue is full: the next connect waits for room.
    sock::Socket listener(sock::OpenTcp());
    ASSERT_TRUE(listener.Valid());
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(0x7F000001);
    ASSERT_EQ(bind(listener.Get(), reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    socklen_t length = sizeof at;
    ASSERT_EQ(getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&at), &length), 0);
    ASSERT_EQ(listen(listener.Get(), 0), 0);
    // Fill the queue without blocking: until a connect no longer completes.
    std::vector<sock::Socket> fillers;
    for (bool full = false; !full && fillers.size() < 64;) {
        fillers.emplace_back(sock::OpenTcp());
        const int fd = fillers.back().Get();
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        if (connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0)
            continue;
        ASSERT_EQ(errno, EINPROGRESS);
        pollfd wait{fd, POLLOUT, 0};
        full = poll(&wait, 1, 200) == 0;
    }
    ASSERT_LT(fillers.size(), 64u);

    // Without SA_RESTART, so the signal interrupts the waiting connect.
    struct sigaction action {};
    action.sa_handler = OnAlarm;
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
    itimerval once{};
    once.it_value.tv_usec = 200 * 1000;
    setitimer(ITIMER_REAL, &once, nullptr);
    // Room in the queue once the connect has been interrupted.
    std::thread room([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        for (size_t i = 0; i <= fillers.size(); ++i) {
            int accepted = accept(listener.Get(), nullptr, nullptr);
            if (accepted >= 0)
                close(accepted);
        }
    });
    sock::Socket client(sock::OpenTcp());
    const bool connected = sock::Connect(client.Get(), at.sin_addr.s_addr, ntohs(at.sin_port));
    room.join();
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_EQ(g_alarms.load(), 1) << "the connect was not interrupted; the test proves nothing";
    EXPECT_TRUE(connected);
}

}  // namespace
