// The downloader against a scripted server, one case per hostile behaviour.
// Built natively and for win32 (run under Wine for the Winsock path).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/socket/Socket.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/updater/DownloadRecorder.h"
#include "tests/updater/ScriptedServer.h"
#include "updater/HttpDownload.h"
#include "updater/LocalFile.h"

namespace {

using namespace step;

const std::string kOld = "previous content";

struct Case {
    const char* name;
    std::string script;
    std::string reports;   // "<status> <value>|..."
    int result;
    std::string file;      // the target afterwards; kOld: untouched
    int stopAt = 0;        // the callback returns 0 at this status
    int timeoutMs = 400;   // the test's receive time-out
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::string Header(const std::string& fields) { return "HTTP/1.1 200 OK\r\n" + fields + "\r\n"; }

std::string Padding(size_t n) { return "X-Padding: " + std::string(n, 'p') + "\r\n"; }

// A header of exactly n bytes announcing a 3-byte body.
std::string HeaderOfSize(size_t n)
{
    std::string fixed = Header("Content-Length: 3\r\n");
    return Header(Padding(n - fixed.size() - 13) + "Content-Length: 3\r\n");
}

std::vector<Case> Cases()
{
    const std::string p5 = PatternBytes(5);
    const std::string p1234 = PatternBytes(1234);
    return {
        {"Ok", Ok("hello"), "6 0|7 5|11 5|12 5", 1, "hello"},
        {"ZeroLength", Ok(""), "6 0|7 0|12 0", 1, ""},
        {"NotFound", Script({Send("HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nno!")}), "6 0|3 0", 0, kOld},
        {"Partial206", Script({Send("HTTP/1.1 206 Partial Content\r\nContent-Length: 3\r\n\r\nabc")}), "6 0|3 0", 0,
         kOld},
        {"Redirect302", Script({Send("HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1/x\r\nContent-Length: 0\r\n\r\n")}),
         "6 0|3 0", 0, kOld},
        {"NoContentLength", Script({Send(Header("Transfer-Encoding: chunked\r\n") + "5\r\nhello\r\n0\r\n\r\n")}),
         "6 0|3 0", 0, kOld},
        {"LowerCaseName", Script({Send(Header("content-length: 5\r\n")), Body(5)}), "6 0|7 5|11 5|12 5", 1, p5},
        {"NoSpaceAfterColon", Script({Send(Header("Content-Length:1234\r\n")), Body(1234)}),
         "6 0|7 1234|11 1024|11 1234|12 1234", 1, p1234},
        {"TabsAndSpacesAroundValue", Script({Send(Header("Content-Length:\t 5 \t\r\n")), Body(5)}),
         "6 0|7 5|11 5|12 5", 1, p5},
        {"LengthNotDigits", Script({Send(Header("Content-Length: abc\r\n")), Body(5)}), "6 0|3 0", 0, kOld},
        {"LengthEmpty", Script({Send(Header("Content-Length: \r\n"))}), "6 0|3 0", 0, kOld},
        {"LengthNegative", Script({Send(Header("Content-Length: -1\r\n"))}), "6 0|3 0", 0, kOld},
        {"LengthWithSign", Script({Send(Header("Content-Length: +5\r\n")), Body(5)}), "6 0|3 0", 0, kOld},
        {"LengthTrailingGarbage", Script({Send(Header("Content-Length: 5x\r\n")), Body(5)}), "6 0|3 0", 0, kOld},
        {"LengthElevenDigits", Script({Send(Header("Content-Length: 00000000005\r\n")), Body(5)}), "6 0|3 0", 0, kOld},
        {"LengthAbove31Bits", Script({Send(Header("Content-Length: 2147483648\r\n"))}), "6 0|3 0", 0, kOld},
        {"LengthLargestThenClose", Script({Send(Header("Content-Length: 2147483647\r\n")), Body(10)}),
         "6 0|7 2147483647|11 10|5 10|12 10", 0, kOld},
        {"NameInsideAnotherValue", Script({Send(Header("X-Note: Content-Length: 5\r\n")), Body(5)}), "6 0|3 0", 0,
         kOld},
        {"NameAsPrefixOfAnother", Script({Send(Header("Content-Length-Extra: 5\r\n")), Body(5)}), "6 0|3 0", 0, kOld},
        {"Http10", Script({Send("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n"), Body(5)}), "6 0|7 5|11 5|12 5", 1, p5},
        {"HeaderLongerThan1024", Script({Send(Header(Padding(3000) + "Content-Length: 5\r\n")), Body(5)}),
         "6 0|7 5|11 5|12 5", 1, p5},
        {"Header16KiBExactly", Script({Send(HeaderOfSize(16384)), Body(3)}), "6 0|7 3|11 3|12 3", 1, PatternBytes(3)},
        {"HeaderBeyond16KiB", Script({Send(HeaderOfSize(16385)), Body(3)}), "6 0|3 0", 0, kOld},
        {"ShortBody", Script({Send(Header("Content-Length: 2000\r\n")), Body(1000)}), "6 0|7 2000|11 1000|5 1000|12 1000",
         0, kOld},
        {"OversizedBodyCutToLength", Script({Send(Header("Content-Length: 5\r\n")), Body(10)}), "6 0|7 5|11 5|12 5", 1,
         p5},
        {"CloseInsideHeader", Script({Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n")}), "6 0|3 0", 0, kOld},
        {"SilenceBeforeHeader", Script({step::Sleep(3)}), "6 0|3 0", 0, kOld},
        {"SilenceInsideHeader", Script({Send("HTTP/1.1 200 OK\r\n"), step::Sleep(3)}), "6 0|3 0", 0, kOld},
        {"SilenceAfterHeader", Script({Send(Header("Content-Length: 10\r\n")), Body(4), step::Sleep(3)}),
         "6 0|7 10|11 4|5 4|12 4", 0, kOld},
        {"StopAtStarting", Ok("hello"), "6 0", 0, kOld, HCB_STARTING},
        {"StopAtProgress", Ok("hello"), "6 0|7 5|11 5", 0, kOld, HCB_PROGRESS},
        {"StopAtFinished", Ok("hello"), "6 0|7 5|11 5|12 5", 0, kOld, HCB_FINISHED},
        {"StopAtReceiveFailed", Script({Send(Header("Content-Length: 10\r\n")), Body(4)}), "6 0|7 10|11 4|5 4", 0, kOld,
         HCB_RECEIVE_FAILED},
        {"ResultIgnoredAtLengthKnown", Ok("hello"), "6 0|7 5|11 5|12 5", 1, "hello", HCB_LENGTH_KNOWN},
    };
}

class DownloadCase : public ::testing::TestWithParam<Case> {
protected:
    sock::Library sockets_;
    TempDir dir_;
};

TEST_P(DownloadCase, ReportsResultAndFile)
{
    const Case& c = GetParam();
    ScriptedServer server(c.script);
    ASSERT_TRUE(server.Running());
    const std::string target = dir_.File("target.bin");
    WriteWholeFile(target, kOld);

    DownloadRecorder recorder(c.stopAt);
    DownloadOptions options;
    options.alert = &recorder.Alert();
    options.receiveTimeoutMs = c.timeoutMs;
    int result = DownloadToFile(server.Url("/files/target.bin"), target, DownloadRecorder::Callback, &recorder, 7,
                                options);

    EXPECT_EQ(result, c.result);
    EXPECT_EQ(recorder.Reports(), c.reports);
    EXPECT_EQ(ReadFileOrMissing(target), c.file);
    EXPECT_EQ(FileNames(dir_.Path()), std::vector<std::string>{"target.bin"}) << "no temporary is left behind";
    EXPECT_EQ(recorder.AlertCount(), 0);
    for (const CHttpCallBack& r : recorder.Records()) {
        EXPECT_EQ(r.hTarget, &recorder);
        EXPECT_EQ(r.nJobId, 7);
        EXPECT_EQ(r.strUrl, server.Url("/files/target.bin"));
    }
}

INSTANTIATE_TEST_SUITE_P(Http, DownloadCase, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

class Download : public ::testing::Test {
protected:
    sock::Library sockets_;
    TempDir dir_;
};

TEST_F(Download, SendsTheRequestTextByteForByteToPort80WhateverTheUrlSays)
{
    ScriptedServer server(Ok("x"));
    ASSERT_TRUE(server.Running());
    DownloadRecorder recorder;
    std::string url = "http://" + server.Host() + ":8080/dir/version.txt";
    ASSERT_EQ(DownloadToFile(url, dir_.File("v.txt"), DownloadRecorder::Callback, nullptr, 1), 1);
    EXPECT_EQ(server.Request(1), "GET /dir/version.txt HTTP/1.1\r\n"
                                 "Host:" + server.Host() + "\r\n"
                                 "Accept:*/*\r\n"
                                 "User-Agent:Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
                                 "Connection:Keep-Alive\r\n"
                                 "\r\n");
    EXPECT_EQ(ReadFileOrMissing(dir_.File("v.txt")), "x");
}

// Another pass's cleaner runs while this one's body is complete and closed
// but not yet in place: the temporary survives and replaces the target.
TEST_F(Download, ACleanerBetweenCloseAndReplaceLeavesTheFinishedBody)
{
    ScriptedServer server(Ok("new"));
    ASSERT_TRUE(server.Running());
    const std::string target = dir_.File("version.ini");
    WriteWholeFile(target, "old");
    DownloadRecorder recorder;
    DownloadOptions options;
    bool present = false;
    options.beforeReplace = [&](const std::string& temporary) {
        localfile::RemoveStaleTemporaries(target);
        present = ReadFileOrMissing(temporary) == "new";
        return true;
    };
    ASSERT_EQ(DownloadToFile(server.Url("/v"), target, DownloadRecorder::Callback, nullptr, 1, options), 1);
    EXPECT_TRUE(present);
    EXPECT_EQ(ReadFileOrMissing(target), "new");
}

// Refusing the finished body keeps the target as it was, and no temporary.
TEST_F(Download, ARefusedReplaceKeepsTheTarget)
{
    ScriptedServer server(Ok("new"));
    ASSERT_TRUE(server.Running());
    const std::string target = dir_.File("version.ini");
    WriteWholeFile(target, "old");
    DownloadOptions options;
    options.beforeReplace = [](const std::string&) { return false; };
    DownloadRecorder recorder;
    EXPECT_EQ(DownloadToFile(server.Url("/v"), target, DownloadRecorder::Callback, &recorder, 1, options), 0);
    EXPECT_EQ(recorder.Records().back().nStatus, HCB_OPEN_FILE_FAILED);
    EXPECT_EQ(ReadFileOrMissing(target), "old");
    EXPECT_EQ(FileNames(dir_.Path()), std::vector<std::string>{"version.ini"});
}

TEST_F(Download, ReportsEachReceivedBlockOfAtMost1024Bytes)
{
    const size_t size = 20000;
    ScriptedServer server(Script({Send(Header("Content-Length: 20000\r\n")), Drip(size, 700, 0.002)}));
    ASSERT_TRUE(server.Running());
    DownloadRecorder recorder;
    ASSERT_EQ(DownloadToFile(server.Url("/big"), dir_.File("big"), DownloadRecorder::Callback, nullptr, 1), 1);
    int32_t previous = 0;
    int progress = 0;
    for (const CHttpCallBack& r : recorder.Records()) {
        if (r.nStatus != HCB_PROGRESS)
            continue;
        ++progress;
        EXPECT_GT(r.nValue, previous);
        EXPECT_LE(r.nValue - previous, 1024);
        previous = r.nValue;
    }
    EXPECT_EQ(previous, static_cast<int32_t>(size));
    EXPECT_GE(progress, static_cast<int>(size / 1024));
    EXPECT_EQ(ReadFileOrMissing(dir_.File("big")), PatternBytes(size));
}

TEST_F(Download, UnreachableHostIsConnectFailed)
{
    // Nothing in this project listens on 127.200.0.1.
    DownloadRecorder recorder;
    std::string target = dir_.File("t");
    EXPECT_EQ(DownloadToFile("http://127.200.0.1/version.txt", target, DownloadRecorder::Callback, nullptr, 1), 0);
    EXPECT_EQ(recorder.Reports(), "6 0|1 0");
    EXPECT_EQ(ReadFileOrMissing(target), "<missing>");
}

TEST_F(Download, UnresolvableHostIsConnectFailed)
{
    DownloadRecorder recorder;
    EXPECT_EQ(DownloadToFile("http://no-such-host.invalid/x", dir_.File("t"), DownloadRecorder::Callback, nullptr, 1), 0);
    EXPECT_EQ(recorder.Reports(), "6 0|1 0");
}

TEST_F(Download, FileInAMissingDirectoryIsOpenFileFailed)
{
    ScriptedServer server(Ok("hello"));
    ASSERT_TRUE(server.Running());
    DownloadRecorder recorder;
    std::string target = dir_.File("missing") + TempDir::kSeparator + "t";
    EXPECT_EQ(DownloadToFile(server.Url("/t"), target, DownloadRecorder::Callback, nullptr, 1), 0);
    EXPECT_EQ(recorder.Reports(), "6 0|7 5|2 5");
}

TEST_F(Download, DirectoryStandingAtTheFileNameIsOpenFileFailedAndStays)
{
    ScriptedServer server(Ok("hello"));
    ASSERT_TRUE(server.Running());
    std::filesystem::create_directory(dir_.File("t"));
    DownloadRecorder recorder;
    EXPECT_EQ(DownloadToFile(server.Url("/t"), dir_.File("t"), DownloadRecorder::Callback, nullptr, 1), 0);
    EXPECT_EQ(recorder.Reports(), "6 0|7 5|11 5|12 5|2 5");
    EXPECT_TRUE(std::filesystem::is_directory(dir_.File("t")));
    EXPECT_EQ(FileNames(dir_.Path()), std::vector<std::string>{"t"});
}

TEST_F(Download, SilentServerIsCutOffByTheFiveSecondTimeOut)
{
    ScriptedServer server(Script({step::Sleep(30)}));
    ASSERT_TRUE(server.Running());
    DownloadRecorder recorder;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DownloadToFile(server.Url("/t"), dir_.File("t"), DownloadRecorder::Callback, nullptr, 1), 0);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(recorder.Reports(), "6 0|3 0");
    EXPECT_GT(seconds, 4.5);
    EXPECT_LT(seconds, 15.0);
}

TEST_F(Download, RemovesLeftoverTemporariesOfItsTarget)
{
    ScriptedServer server(Ok("new"));
    ASSERT_TRUE(server.Running());
    const std::string target = dir_.File("version.ini");
    // Left over by processes that have ended.
    const std::string ended = std::to_string(ChildProcess::EndedProcessId());
    WriteWholeFile(target + "." + ended + ".3.tmp", "left over");
    WriteWholeFile(target + "." + ended + ".-2.tmp", "left over");
    WriteWholeFile(dir_.File("other.ini.4242.3.tmp"), "not ours");
    WriteWholeFile(target + ".backup.tmp", "not ours");
    DownloadRecorder recorder;
    ASSERT_EQ(DownloadToFile(server.Url("/v"), target, DownloadRecorder::Callback, nullptr, 1), 1);
    EXPECT_EQ(FileNames(dir_.Path()),
              (std::vector<std::string>{"other.ini.4242.3.tmp", "version.ini", "version.ini.backup.tmp"}));
}

}  // namespace
