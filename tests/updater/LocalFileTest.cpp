// The file-system shim: temporaries, replacement, and the cleaning of leftovers.
#include <gtest/gtest.h>

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
    WriteWholeFile(target + ".777.1.tmp", "abandoned");
    localfile::RemoveStaleTemporaries(target);
    EXPECT_EQ(FileNames(dir.Path()), std::vector<std::string>{"install.exe.777.2.tmp"});
}

}  // namespace
