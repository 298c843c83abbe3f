// The page engine's browser started from a Windows program under Wine, the
// way the control starts it: its script through Wine's start program, the
// endpoint through the lifeline, DevTools over Winsock; and gone with the
// lifeline.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/devtools/DevToolsConnection.h"
#include "platform/devtools/EngineLifeline.h"
#include "platform/pageengine/EngineProcess_win.h"
#include "platform/socket/Socket.h"
#include "tests/support/ProcessesMentioning.h"

namespace {

// The Unix processes, through Wine's view of the Unix root.
constexpr char kUnixProc[] = "Z:\\proc";

TEST(PageEngineUnderWine, StartsThroughTheLifelineSpeaksDevToolsAndEndsWithIt)
{
    ASSERT_TRUE(pageengine::RunningUnderWine());
    sock::Library winsock;
    ASSERT_TRUE(winsock.Ok());
    devtools::EngineLifeline lifeline;
    ASSERT_TRUE(lifeline.Listen());
    ASSERT_TRUE(pageengine::StartEngineScript(lifeline.Port()));
    const devtools::EngineLifeline::Answer answer = lifeline.Await(30000);
    ASSERT_FALSE(answer.webSocketUrl.empty()) << answer.error;

    devtools::Connection connection;
    ASSERT_TRUE(connection.Open(answer.webSocketUrl, 5000));
    std::optional<devtools::Json> version = connection.Call("Browser.getVersion");
    ASSERT_TRUE(version);
    EXPECT_EQ((*version)["protocolVersion"], "1.3");
    std::optional<devtools::Json> target = connection.Call("Target.createTarget", {{"url", "about:blank"}});
    ASSERT_TRUE(target);
    const int browsersBefore = ProcessesMentioning(kUnixProc, "morvane-engine.");
    EXPECT_GT(browsersBefore, 0);

    // The script ends only once every process of its browser has.
    const std::string script = "--connect" + std::string(1, '\0') + std::to_string(lifeline.Port());
    EXPECT_EQ(ProcessesMentioning(kUnixProc, script), 1);
    connection.Close();
    lifeline.Release();
    for (int i = 0; i < 100 && ProcessesMentioning(kUnixProc, script) > 0; ++i)
        Sleep(100);
    EXPECT_EQ(ProcessesMentioning(kUnixProc, script), 0);
    EXPECT_EQ(ProcessesMentioning(kUnixProc, "morvane-engine."), 0);
}

}  // namespace
