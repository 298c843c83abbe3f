// The file-system shim: temporaries, replacement, and the cleaning of leftovers.
#include <gtest/gtest.h>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/updater/DownloadRecorder.h"
#include "tests/updater/ScriptedServer.h"
#include "updater/LocalFile.h"

namespace {

TEST(LocalFile, RecognisesOnlyTheTemporariesOfItsTarget)
{
    struct Row {
        const char* name;
        bool ours;
    } rows[] = {
        {"version.ini.123.4.tmp", true},  {"version.ini.1.-4.tmp", true},  {"version.ini.123.4.tmp.x", false},
        {"version.ini.123.tmp", false},   {"version.ini.a.4.tmp", false},  {"version.ini..4.tmp", false},
        {"version.ini.123.4.TMP", false}, {"xversion.ini.1.2.tmp", false}, {"version.ini", false},
        {"version.ini.1.2.", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(localfile::IsTemporaryNameOf(r.name, "version.ini"), r.ours) << r.name;
}

TEST(LocalFile, ExclusiveFileRefusesAnExistingName)
{
    TempDir dir;
    localfile::ExclusiveFile first;
    ASSERT_TRUE(first.Create(dir.File("a")));
    localfile::ExclusiveFile second;
    EXPECT_FALSE(second.Create(dir.File("a")));
}

TEST(LocalFile, ReplaceOverwritesTheTargetInOneStep)
{
    TempDir dir;
    WriteWholeFile(dir.File("target"), "old");
    localfile::ExclusiveFile f;
    ASSERT_TRUE(f.Create(dir.File("temp")));
    ASSERT_TRUE(f.Write("new", 3));
    ASSERT_TRUE(f.Close());
    ASSERT_TRUE(localfile::MoveIntoPlace(dir.File("temp"), dir.File("target")));
    EXPECT_EQ(ReadFileOrMissing(dir.File("target")), "new");
    EXPECT_EQ(FileNames(dir.Path()), std::vector<std::string>{"target"});
}

TEST(LocalFile, ATemporaryStillBeingWrittenSurvivesTheCleaning)
{
    TempDir dir;
    const std::string target = dir.File("install.exe");
    localfile::ExclusiveFile writing;
    ASSERT_TRUE(writing.Create(target + ".777.2.tmp"));
    ASSERT_TRUE(writing.Write("partial", 7));
    const std::string abandoned = target + "." + std::to_string(ChildProcess::EndedProcessId()) + ".1.tmp";
    WriteWholeFile(abandoned, "abandoned");
    localfile::RemoveStaleTemporaries(target);
    EXPECT_EQ(FileNames(dir.Path()), std::vector<std::string>{"install.exe.777.2.tmp"});
}

// A finished temporary waits, closed, for its replace: no cleaner may take it
// while its pass lives, in this process or in another that still runs.
TEST(LocalFile, TheCleanerKeepsWhatALivePassOwns)
{
    TempDir dir;
    const std::string target = dir.File("version.ini");
    ChildProcess other;
    ASSERT_NE(other.Id(), 0u);
    const std::string ownLive = localfile::TemporaryPathFor(target, 1);
    const std::string ownEnded = localfile::TemporaryPathFor(target, 2);
    const std::string otherLive = target + "." + std::to_string(other.Id()) + ".1.tmp";
    const std::string otherEnded = target + "." + std::to_string(ChildProcess::EndedProcessId()) + ".1.tmp";
    for (const std::string& path : {ownLive, ownEnded, otherLive, otherEnded})
        WriteWholeFile(path, "finished");
    {
        localfile::OwnedTemporary pass(ownLive);
        localfile::RemoveStaleTemporaries(target);
        EXPECT_EQ(ReadFileOrMissing(ownLive), "finished");
        EXPECT_EQ(ReadFileOrMissing(ownEnded), "<missing>");
        EXPECT_EQ(ReadFileOrMissing(otherLive), "finished");
        EXPECT_EQ(ReadFileOrMissing(otherEnded), "<missing>");
    }
    other.Stop();
    localfile::RemoveStaleTemporaries(target);
    EXPECT_EQ(FileNames(dir.Path()), std::vector<std::string>{});
}

}  // namespace
