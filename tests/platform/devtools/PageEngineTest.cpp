// The page engine's browser, for real: started by its script through the
// lifeline, spoken to over DevTools, and gone with the lifeline.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/devtools/DevToolsConnection.h"
#include "platform/devtools/EngineLifeline.h"
#include "tests/support/ProcessesMentioning.h"
#include "tests/support/TempDir.h"

extern char** environ;

namespace {

using devtools::Json;

// A Unix child with extra environment entries; waited for when destroyed.
class Child {
public:
    Child(std::vector<std::string> args, std::vector<std::string> env)
    {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> all = std::move(env);
        for (char** e = environ; *e; ++e)
            all.emplace_back(*e);
        std::vector<char*> envp;
        for (std::string& e : all)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
    }
    ~Child()
    {
        if (pid_ > 0 && !Ended(0)) {
            kill(pid_, SIGKILL);
            Ended(5000);
        }
    }
    pid_t Pid() const { return pid_; }
    // True once the child has ended (waiting up to the given time).
    bool Ended(int timeoutMs)
    {
        if (pid_ <= 0 || reaped_)
            return true;
        for (int waited = 0;; waited += 20) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                return true;
            }
            if (waited >= timeoutMs)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
};

// Processes whose command line mentions the text, this test's own aside.
int ProcessesMentioning(const std::string& text)
{
    return ::ProcessesMentioning("/proc", text, std::to_string(getpid()));
}

bool IsEmptyDirectory(const std::string& path)
{
    return std::filesystem::is_empty(path);
}

// An engine started the way the program starts it, with its temporary
// files in a folder of the test's own.
class Engine {
public:
    explicit Engine(std::vector<std::string> env = {}, int timeoutMs = 30000)
    {
        if (!lifeline.Listen())
            return;
        env.push_back("TMPDIR=" + tmp.Path());
        script = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/python3", MORVANE_PAGE_ENGINE_SCRIPT, "--connect",
                                     std::to_string(lifeline.Port())},
            env);
        answer = lifeline.Await(timeoutMs);
    }
    // Let go the way the program does, so the script cleans up before the
    // folder goes.
    ~Engine()
    {
        lifeline.Release();
        if (script)
            script->Ended(10000);
    }

    TempDir tmp;
    devtools::EngineLifeline lifeline;
    std::unique_ptr<Child> script;
    devtools::EngineLifeline::Answer answer;
};

// A folder served over HTTP on a loopback port of its own.
class StaticServer {
public:
    StaticServer()
    {
        std::ofstream(dir.File("first.html")) << "<title>first</title><p>first page";
        std::ofstream(dir.File("second.html")) << "<title>second</title><p>second page";
        const std::string portFile = dir.File("port");
        server = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/python3", "-c",
                                     "import http.server, functools, sys\n"
                                     "h = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])\n"
                                     "s = http.server.ThreadingHTTPServer(('127.0.0.1', 0), h)\n"
                                     "open(sys.argv[2], 'w').write(str(s.server_address[1]))\n"
                                     "s.serve_forever()\n",
                                     dir.Path(), portFile},
            std::vector<std::string>{});
        for (int i = 0; i < 200 && port.empty(); ++i) {
            std::ifstream(portFile) >> port;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    std::string Url(const std::string& name) const { return "http://127.0.0.1:" + port + "/" + name; }

    TempDir dir;
    std::unique_ptr<Child> server;
    std::string port;
};

// Events of one connection, kept for the test to wait on.
class Events {
public:
    void Add(const Json& event)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
        changed_.notify_all();
    }
    // The first event of that method (and session) not taken before.
    std::optional<Json> Take(const std::string& method, int timeoutMs = 10000)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        std::optional<Json> found;
        changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            for (auto it = events_.begin(); it != events_.end(); ++it) {
                if ((*it)["method"] == method) {
                    found = *it;
                    events_.erase(it);
                    return true;
                }
            }
            return false;
        });
        return found;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Json> events_;
};

TEST(PageEngine, StartsAPrivateBrowserAndLeavesNothingWhenLetGo)
{
    Engine engine;
    ASSERT_FALSE(engine.answer.webSocketUrl.empty()) << engine.answer.error;
    EXPECT_EQ(engine.answer.webSocketUrl.rfind("ws://127.0.0.1:", 0), 0u);
    EXPECT_FALSE(IsEmptyDirectory(engine.tmp.Path()));  // its profile
    EXPECT_GT(ProcessesMentioning(engine.tmp.Path()), 0);
    EXPECT_TRUE(engine.lifeline.EngineAlive());

    engine.lifeline.Release();
    EXPECT_TRUE(engine.script->Ended(10000));
    EXPECT_TRUE(IsEmptyDirectory(engine.tmp.Path()));
    EXPECT_EQ(ProcessesMentioning(engine.tmp.Path()), 0);
}

TEST(PageEngine, AKilledScriptTakesItsBrowserWithIt)
{
    Engine engine;
    ASSERT_FALSE(engine.answer.webSocketUrl.empty()) << engine.answer.error;
    kill(engine.script->Pid(), SIGKILL);
    EXPECT_TRUE(engine.script->Ended(5000));
    for (int i = 0; i < 100 && ProcessesMentioning(engine.tmp.Path()) > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ProcessesMentioning(engine.tmp.Path()), 0);
    EXPECT_FALSE(engine.lifeline.EngineAlive());
}

TEST(PageEngine, AMissingBrowserOrScriptIsSaidAtOnce)
{
    const auto started = std::chrono::steady_clock::now();
    Engine noBrowser({"MORVANE_CHROMIUM=/nonexistent/chromium", "PATH=/nonexistent"});
    EXPECT_TRUE(noBrowser.answer.webSocketUrl.empty());
    EXPECT_NE(noBrowser.answer.error.find("not installed"), std::string::npos) << noBrowser.answer.error;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));

    // Nobody connects: the wait ends at its time, not later.
    devtools::EngineLifeline silent;
    ASSERT_TRUE(silent.Listen());
    const auto waited = std::chrono::steady_clock::now();
    const devtools::EngineLifeline::Answer answer = silent.Await(500);
    EXPECT_TRUE(answer.webSocketUrl.empty());
    EXPECT_FALSE(answer.error.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - waited, std::chrono::seconds(3));
}

class PageSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(engine.answer.webSocketUrl.empty()) << engine.answer.error;
        connection.SetEventHandler([this](const Json& event) { events.Add(event); });
        connection.SetClosedHandler([this] { closed = true; });
        ASSERT_TRUE(connection.Open(engine.answer.webSocketUrl, 5000));
        std::optional<Json> target = connection.Call("Target.createTarget", {{"url", "about:blank"}});
        ASSERT_TRUE(target);
        targetId = (*target)["targetId"];
        std::optional<Json> attached =
            connection.Call("Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}});
        ASSERT_TRUE(attached);
        session = (*attached)["sessionId"];
        ASSERT_TRUE(connection.Call("Page.enable", Json::object(), session));
    }
    std::string Evaluate(const std::string& expression)
    {
        std::optional<Json> r =
            connection.Call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}}, session);
        return r ? (*r)["result"].value("value", Json()).dump() : "<no reply>";
    }

    Engine engine;
    StaticServer server;
    Events events;
    std::atomic<bool> closed{false};
    devtools::Connection connection;
    std::string targetId;
    std::string session;
};

TEST_F(PageSession, CommandsAreAnsweredAndThePagesEventsArrive)
{
    connection.Send("Page.navigate", {{"url", server.Url("first.html")}}, session);
    std::optional<Json> loaded = events.Take("Page.loadEventFired");
    ASSERT_TRUE(loaded);
    EXPECT_EQ((*loaded)["sessionId"], session);
    EXPECT_EQ(Evaluate("document.title"), "\"first\"");
    // An error reply is no result.
    EXPECT_FALSE(connection.Call("No.suchMethod", Json::object(), session));
}

// A navigation is held before its request leaves: refused, the old page
// stays and the server never sees it; let go, it loads.
TEST_F(PageSession, APausedNavigationWaitsForItsAnswer)
{
    connection.Send("Page.navigate", {{"url", server.Url("first.html")}}, session);
    ASSERT_TRUE(events.Take("Page.loadEventFired"));
    ASSERT_TRUE(connection.Call("Fetch.enable",
                                {{"patterns", Json::array({{{"urlPattern", "*"},
                                                            {"resourceType", "Document"},
                                                            {"requestStage", "Request"}}})}},
                                session));
    connection.Send("Runtime.evaluate", {{"expression", "location.href = '" + server.Url("second.html") + "'"}},
                    session);
    std::optional<Json> paused = events.Take("Fetch.requestPaused");
    ASSERT_TRUE(paused);
    EXPECT_EQ((*paused)["params"]["request"]["url"], server.Url("second.html"));
    EXPECT_EQ((*paused)["params"]["frameId"], targetId);
    ASSERT_TRUE(connection.Call("Fetch.failRequest",
                                {{"requestId", (*paused)["params"]["requestId"]}, {"errorReason", "Aborted"}},
                                session));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(Evaluate("document.title"), "\"first\"");

    connection.Send("Page.navigate", {{"url", server.Url("second.html")}}, session);
    paused = events.Take("Fetch.requestPaused");
    ASSERT_TRUE(paused);
    connection.Send("Fetch.continueRequest", {{"requestId", (*paused)["params"]["requestId"]}}, session);
    ASSERT_TRUE(events.Take("Page.loadEventFired"));
    EXPECT_EQ(Evaluate("document.title"), "\"second\"");
}

TEST_F(PageSession, ABrowserThatEndsAnswersWhatWaitsAndSaysSo)
{
    std::atomic<bool> answered{false};
    connection.Send("Browser.close");
    connection.Send("Runtime.evaluate", {{"expression", "new Promise(() => {})"}, {"awaitPromise", true}}, session,
                    [&](const Json&) { answered = true; });
    for (int i = 0; i < 200 && !closed; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    EXPECT_TRUE(closed);
    EXPECT_TRUE(answered);
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(connection.Send("Page.reload", Json::object(), session), 0);
    EXPECT_TRUE(engine.script->Ended(10000));
    EXPECT_FALSE(engine.lifeline.EngineAlive());
}

}  // namespace
