// The update pass against a scripted update server, with a recording notice
// sink in place of the window. Built natively and for win32.
#include <gtest/gtest.h>

#include <thread>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/PortableProfileStore.h"
#include "platform/socket/Socket.h"
#include "tests/support/TempDir.h"
#include "tests/updater/DownloadRecorder.h"
#include "tests/updater/RecordingSink.h"
#include "tests/updater/ScriptedServer.h"
#include "updater/UpdatePass.h"

namespace {

using namespace step;
using namespace std::chrono_literals;

std::string Routes(const std::string& version, const std::string& installer)
{
    return "{\"/version.txt\":" + version + ",\"/install.exe\":" + installer + "}";
}

class UpdatePass : public ::testing::Test {
protected:
    std::string AppDir() const { return dir_.Path() + TempDir::kSeparator; }
    std::string Ini() const { return dir_.File("version.ini"); }
    std::string Installer() const { return dir_.File("install.exe"); }

    // Runs one pass on this thread, as the newest pass.
    void RunPass(const std::string& base, RecordingSink& sink, const std::string& appDir = "")
    {
        UpdateServices services;
        services.sink = &sink;
        services.store = &store_;
        services.alert = &alert_.Alert();
        services.receiveTimeoutMs = 1000;
        jobId_ = ++UpdateJobCounter();
        UpdateThreadProc(std::make_unique<UpdateJob>(&target_, jobId_, Settings(base, appDir), services));
    }
    UpdateSettings Settings(const std::string& base, std::string appDir = "") const
    {
        if (appDir.empty())
            appDir = AppDir();
        return UpdateSettings{appDir + "version.ini", appDir + "install.exe", base, "5"};
    }
    std::string Read(const char* section, const char* key)
    {
        return store_.ReadString(section, key, "", 64, Ini());
    }

    sock::Library sockets_;
    TempDir dir_;
    PortableProfileStore store_;
    DownloadRecorder alert_;
    int target_ = 0;  // its address stands for the window
    int32_t jobId_ = 0;
};

struct Announcement {
    const char* name;
    const char* id;
    bool update;
};
void PrintTo(const Announcement& a, std::ostream* os) { *os << a.name; }

class UpdateAnnouncement : public UpdatePass, public ::testing::WithParamInterface<Announcement> {};

TEST_P(UpdateAnnouncement, FetchesTheInstallerOnlyForAHigherId)
{
    const Announcement& a = GetParam();
    const std::string installer = PatternBytes(3000);
    ScriptedServer server(Routes(Ok(std::string("[update]\r\nid=") + a.id + "\r\n"), Ok(installer)));
    ASSERT_TRUE(server.Running());
    RecordingSink sink;
    RunPass("http://" + server.Host(), sink);

    if (a.update) {
        EXPECT_EQ(sink.Statuses(), "6|7|11|12|10|6|7|11|12|13");
        EXPECT_EQ(ReadFileOrMissing(Installer()), installer);
    } else {
        EXPECT_EQ(sink.Statuses(), "6|7|11|12");
        EXPECT_EQ(ReadFileOrMissing(Installer()), "<missing>");
        EXPECT_EQ(server.Request(2), "") << "no second request";
    }
    EXPECT_EQ(Read("update", "id"), a.id);
    for (const CHttpCallBack& n : sink.Log()) {
        EXPECT_EQ(n.hTarget, &target_);
        EXPECT_EQ(n.nJobId, jobId_);
        if (n.nStatus == HCB_UPDATE_AVAILABLE || n.nStatus == HCB_INSTALLER_READY) {
            EXPECT_EQ(n.strUrl, "");
            EXPECT_EQ(n.nValue, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pass, UpdateAnnouncement,
                         ::testing::Values(Announcement{"Same", "5", false}, Announcement{"Higher", "6", true},
                                           Announcement{"Lower", "4", false}, Announcement{"Empty", "", false},
                                           Announcement{"NotANumber", "abc", false},
                                           Announcement{"LeadingDigits", "12beta", true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BossCase {
    const char* name;
    const char* localKey;    // nullptr: no settings file before
    const char* serverBoss;  // the version file's [boss] key, nullptr: no section
    const char* expected;
};
void PrintTo(const BossCase& c, std::ostream* os) { *os << c.name; }

class BossKeyRestore : public UpdatePass, public ::testing::WithParamInterface<BossCase> {};

TEST_P(BossKeyRestore, KeepsThePlayersKeyAcrossTheReplacement)
{
    const BossCase& c = GetParam();
    if (c.localKey)
        WriteWholeFile(Ini(), std::string("[update]\r\nid=3\r\n[boss]\r\nkey=") + c.localKey + "\r\n");
    std::string version = "[update]\r\nid=5\r\n[extra]\r\nx=1\r\n";
    if (c.serverBoss)
        version += std::string("[boss]\r\nkey=") + c.serverBoss + "\r\n";
    ScriptedServer server(Routes(Ok(version), Ok("")));
    ASSERT_TRUE(server.Running());
    RecordingSink sink;
    RunPass("http://" + server.Host(), sink);
    EXPECT_EQ(sink.Statuses(), "6|7|11|12");
    EXPECT_EQ(Read("boss", "key"), c.expected);
    EXPECT_EQ(Read("update", "id"), "5");
    EXPECT_EQ(Read("extra", "x"), "1") << "the rest of the file is the server's";
}

INSTANTIATE_TEST_SUITE_P(
    Pass, BossKeyRestore,
    ::testing::Values(BossCase{"ServerHasNoBossSection", "1089", nullptr, "1089"},
                      BossCase{"LocalWinsOverServer", "1089", "77", "1089"},
                      BossCase{"EmptyLocalKeepsServer", "", "77", "77"},
                      BossCase{"NoLocalFile", nullptr, nullptr, ""},
                      BossCase{"FortyCharactersCutTo31", "1234567890123456789012345678901234567890", nullptr,
                               "1234567890123456789012345678901"}),
    [](const auto& info) { return std::string(info.param.name); });

// The player sets a new boss key in the game while the version file is still
// coming in: the key the settings file holds at the replace is the one kept.
TEST_F(UpdatePass, AKeyChangedDuringTheDownloadIsTheOneKept)
{
    WriteWholeFile(Ini(), "[update]\r\nid=3\r\n[boss]\r\nkey=1089\r\n");
    const std::string version = "[update]\r\nid=5\r\n" + std::string(3000, ';') + "\r\n";
    ScriptedServer server(Routes(Script({Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(version.size()) +
                                              "\r\n\r\n" + version.substr(0, 1000)),
                                         Sleep(0.2), Send(version.substr(1000))}),
                                 Ok("")));
    ASSERT_TRUE(server.Running());
    RecordingSink sink;
    bool changed = false;
    sink.OnPost([&](const CHttpCallBack& n) {
        if (n.nStatus == HCB_PROGRESS && !changed) {
            store_.WriteString("boss", "key", "1601", Ini());
            changed = true;
        }
    });
    RunPass("http://" + server.Host(), sink);
    ASSERT_TRUE(changed);
    EXPECT_EQ(sink.Statuses(), "6|7|11|12");
    EXPECT_EQ(Read("boss", "key"), "1601");
    EXPECT_EQ(Read("update", "id"), "5");
}

#ifndef _WIN32
// Two launchers update at once into the same directory: whichever replaces
// the settings file first or last, the player's key is in it throughout.
TEST_F(UpdatePass, TwoPassesAtOnceBothKeepTheKey)
{
    WriteWholeFile(Ini(), "[update]\r\nid=3\r\n[boss]\r\nkey=1089\r\n");
    const std::string version = "[update]\r\nid=5\r\n" + std::string(6000, ';') + "\r\n";
    const std::string slow = Script({Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(version.size()) +
                                          "\r\n\r\n"),
                                     Send(version.substr(0, 3000)), step::Sleep(0.3), Send(version.substr(3000))});
    ScriptedServer server(Routes(slow, Ok("")));
    ASSERT_TRUE(server.Running());
    const std::string base = "http://" + server.Host();
    const pid_t other = fork();
    if (other == 0) {
        // The other launcher: its own process, its own job counter.
        RecordingSink sink;
        RunPass(base, sink);
        _exit(Read("boss", "key") == "1089" ? 0 : 1);
    }
    ASSERT_GT(other, 0);
    RecordingSink sink;
    RunPass(base, sink);
    int status = -1;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(sink.Statuses(), "6|7|11|12");
    EXPECT_EQ(Read("boss", "key"), "1089");
    EXPECT_EQ(Read("update", "id"), "5");
    EXPECT_EQ(FileNames(dir_.Path()), std::vector<std::string>{"version.ini"});
}
#endif

// A version file that is no version file: too large to be one. The settings
// file stays byte for byte, and nothing is written beside it.
TEST_F(UpdatePass, AnOversizedVersionFileIsABadResponse)
{
    const std::string before = "[update]\r\nid=5\r\n[boss]\r\nkey=1089\r\n";
    WriteWholeFile(Ini(), before);
    ScriptedServer server(Routes(Ok("[update]\r\nid=6\r\n" + std::string(64 * 1024, ';')), Ok("x")));
    ASSERT_TRUE(server.Running());
    RecordingSink sink;
    RunPass("http://" + server.Host(), sink);
    EXPECT_EQ(sink.Statuses(), "6|3");
    EXPECT_EQ(ReadFileOrMissing(Ini()), before);
    EXPECT_EQ(FileNames(dir_.Path()), std::vector<std::string>{"version.ini"});
}

TEST_F(UpdatePass, UnreachableServerIsConnectFailedAndLeavesTheSettings)
{
    WriteWholeFile(Ini(), "[boss]\r\nkey=1089\r\n");
    RecordingSink sink;
    RunPass("http://127.200.0.1", sink);
    EXPECT_EQ(sink.Statuses(), "6|1");
    EXPECT_EQ(ReadFileOrMissing(Ini()), "[boss]\r\nkey=1089\r\n");
}

TEST_F(UpdatePass, SettingsFileThatCannotBeCreatedIsOpenFileFailed)
{
    ScriptedServer server(Routes(Ok("[update]\r\nid=6\r\n"), Ok("x")));
    ASSERT_TRUE(server.Running());
    RecordingSink sink;
    RunPass("http://" + server.Host(), sink, dir_.File("no-such-dir") + TempDir::kSeparator);
    EXPECT_EQ(sink.Statuses(), "6|7|2");
}

TEST_F(UpdatePass, TruncatedVersionFileKeepsTheOldSettingsFile)
{
    const std::string before = "[update]\r\nid=5\r\n[boss]\r\nkey=1089\r\n";
    WriteWholeFile(Ini(), before);
    ScriptedServer server(Routes(Script({Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n[update]\r\nid=6")}),
                                 Ok("x")));
    ASSERT_TRUE(server.Running());
    RecordingSink sink;
    RunPass("http://" + server.Host(), sink);
    EXPECT_EQ(sink.Statuses(), "6|7|11|5|12");
    EXPECT_EQ(ReadFileOrMissing(Ini()), before);
}

TEST_F(UpdatePass, TruncatedInstallerIsNotAnnouncedReady)
{
    ScriptedServer server(
        Routes(Ok("[update]\r\nid=6\r\n"), Script({Send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n"), Body(2000)})));
    ASSERT_TRUE(server.Running());
    RecordingSink sink;
    RunPass("http://" + server.Host(), sink);
    EXPECT_EQ(sink.Statuses(), "6|7|11|12|10|6|7|11|5|12");
    EXPECT_EQ(ReadFileOrMissing(Installer()), "<missing>");
}

TEST_F(UpdatePass, WindowThatIsGoneStopsThePassBeforeItConnects)
{
    WriteWholeFile(Ini(), "old");
    ScriptedServer server(Routes(Ok("[update]\r\nid=6\r\n"), Ok("x")));
    ASSERT_TRUE(server.Running());
    RecordingSink sink(RecordingSink::Mode::Refuse);
    RunPass("http://" + server.Host(), sink);
    EXPECT_EQ(server.Request(1), "");
    EXPECT_EQ(ReadFileOrMissing(Ini()), "old");
}

TEST_F(UpdatePass, StalePassStopsAtItsNextHeededReport)
{
    WriteWholeFile(Ini(), "old");
    ScriptedServer server(Routes(Ok("[update]\r\nid=6\r\n"), Ok("x")));
    ASSERT_TRUE(server.Running());
    RecordingSink sink;
    // The window starts a newer pass while this one reads its header.
    sink.OnPost([](const CHttpCallBack& n) {
        if (n.nStatus == HCB_LENGTH_KNOWN)
            ++UpdateJobCounter();
    });
    RunPass("http://" + server.Host(), sink);
    EXPECT_EQ(sink.Statuses(), "6|7");
    EXPECT_EQ(ReadFileOrMissing(Ini()), "old");
    EXPECT_EQ(FileNames(dir_.Path()), std::vector<std::string>{"version.ini"});
}

// The window lags: while a progress notice is unhandled no other one is
// posted, except the last of the body; handling it (either way) lets the next go.
class ProgressCoalescing : public UpdatePass, public ::testing::WithParamInterface<bool> {};

TEST_P(ProgressCoalescing, KeepsOneProgressNoticeInFlight)
{
    const bool take = GetParam();
    const size_t size = 12 * 1024;
    ScriptedServer server(Routes(Script({Send("HTTP/1.1 200 OK\r\nContent-Length: 12288\r\n\r\n"),
                                         Drip(size, 1024, 0.03)}),
                                 Ok("")));
    ASSERT_TRUE(server.Running());
    RecordingSink sink(RecordingSink::Mode::Hold);
    std::thread window([&] {
        // Handle everything up to the first progress notice, then nothing more.
        for (int i = 0; i < 500; ++i) {
            std::vector<int32_t> progress = sink.ProgressValues();
            if (!progress.empty()) {
                for (int k = 0; k < 3; ++k)  // 6, 7, then the progress notice
                    sink.HandleOldest(take);
                return;
            }
            std::this_thread::sleep_for(2ms);
        }
    });
    RunPass("http://" + server.Host(), sink);
    window.join();

    std::vector<int32_t> progress = sink.ProgressValues();
    ASSERT_EQ(progress.size(), 3u) << "the first, one after it was handled, and the last";
    EXPECT_LT(progress[0], progress[1]);
    EXPECT_LT(progress[1], progress[2]);
    EXPECT_EQ(progress[2], static_cast<int32_t>(size));
    EXPECT_EQ(sink.Statuses(), "6|7|11|12");
    EXPECT_EQ(ReadFileOrMissing(Ini()), PatternBytes(size));
}

INSTANTIATE_TEST_SUITE_P(Pass, ProgressCoalescing, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "TakenOut" : "Deleted"; });

TEST_F(UpdatePass, EveryProgressIsPostedWhileTheWindowKeepsUp)
{
    const size_t size = 6 * 1024;
    ScriptedServer server(Routes(Script({Send("HTTP/1.1 200 OK\r\nContent-Length: 6144\r\n\r\n"),
                                         Drip(size, 1024, 0.01)}),
                                 Ok("")));
    ASSERT_TRUE(server.Running());
    RecordingSink sink(RecordingSink::Mode::HandleAtOnce);
    RunPass("http://" + server.Host(), sink);
    EXPECT_EQ(sink.ProgressValues(), (std::vector<int32_t>{1024, 2048, 3072, 4096, 5120, 6144}));
}

TEST_F(UpdatePass, StartUpdatePassRunsOnAWorkerWithTheNextJobNumber)
{
    ScriptedServer server(Routes(Ok("[update]\r\nid=6\r\n"), Ok("installer")));
    ASSERT_TRUE(server.Running());
    // Lives as long as the process: the worker may outlast the test.
    static RecordingSink* sink = new RecordingSink;
    static PortableProfileStore* store = new PortableProfileStore;
    UpdateServices services;
    services.sink = sink;
    services.store = store;
    int32_t before = UpdateJobCounter();
    ASSERT_TRUE(StartUpdatePass(&target_, services, Settings("http://" + server.Host())));
    EXPECT_EQ(UpdateJobCounter(), before + 1);
    ASSERT_TRUE(sink->WaitFor(HCB_INSTALLER_READY, 20s));
    EXPECT_EQ(sink->Statuses(), "6|7|11|12|10|6|7|11|12|13");
    EXPECT_EQ(sink->Log().front().nJobId, before + 1);
    EXPECT_EQ(ReadFileOrMissing(Installer()), "installer");
}

TEST_F(UpdatePass, StartWithoutServicesStartsNothing)
{
    int32_t before = UpdateJobCounter();
    EXPECT_FALSE(StartUpdatePass(&target_, UpdateServices{}, Settings("http://127.0.0.1")));
    EXPECT_EQ(UpdateJobCounter(), before);
}

}  // namespace
