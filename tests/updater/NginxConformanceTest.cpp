// The downloader against a real HTTP server: the files arrive byte for byte.
#include <gtest/gtest.h>

#include <random>

#include "platform/socket/Socket.h"
#include "tests/support/TempDir.h"
#include "tests/updater/DownloadRecorder.h"
#include "tests/updater/NginxServer.h"
#include "tests/updater/ScriptedServer.h"
#include "updater/HttpDownload.h"

namespace {

std::string RandomBytes(size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(random());
    return s;
}

TEST(NginxConformance, FilesOfBlockEdgeSizesArriveByteForByte)
{
    sock::Library sockets;
    TempDir www;
    TempDir out;
    const size_t sizes[] = {0, 1, 1023, 1024, 1025, 4096, 1024 * 1024 + 7};
    for (size_t size : sizes)
        WriteWholeFile(www.File("f" + std::to_string(size) + ".bin"), RandomBytes(size, static_cast<unsigned>(size)));
    NginxServer nginx(www.Path());
    ASSERT_TRUE(nginx.Running());

    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        const std::string name = "f" + std::to_string(size) + ".bin";
        DownloadRecorder recorder;
        ASSERT_EQ(DownloadToFile(nginx.Url("/" + name), out.File(name), DownloadRecorder::Callback, nullptr, 1), 1);
        EXPECT_EQ(ReadFileOrMissing(out.File(name)), ReadFileOrMissing(www.File(name)));
        const std::vector<CHttpCallBack>& r = recorder.Records();
        ASSERT_GE(r.size(), 3u);
        EXPECT_EQ(r[1].nStatus, HCB_LENGTH_KNOWN);
        EXPECT_EQ(r[1].nValue, static_cast<int32_t>(size));
        EXPECT_EQ(r.back().nStatus, HCB_FINISHED);
        EXPECT_EQ(r.back().nValue, static_cast<int32_t>(size));
    }
}

TEST(NginxConformance, MissingFileIsBadResponse)
{
    sock::Library sockets;
    TempDir www;
    TempDir out;
    NginxServer nginx(www.Path());
    ASSERT_TRUE(nginx.Running());
    DownloadRecorder recorder;
    EXPECT_EQ(DownloadToFile(nginx.Url("/none"), out.File("none"), DownloadRecorder::Callback, nullptr, 1), 0);
    EXPECT_EQ(recorder.Reports(), "6 0|3 0");
}

}  // namespace
