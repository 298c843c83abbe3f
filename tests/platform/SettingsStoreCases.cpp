// One table of settings-file cases, run natively against the portable store
// and under Wine against the platform's private-profile calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/Atoi.h"
#include "platform/SettingsStore.h"
#include "tests/support/TempDir.h"

namespace {

struct ReadCase {
    const char* name;
    const char* fileText;  // nullptr: no file
    const char* section;
    const char* key;
    const char* expected;
    int expectedNumber;
};

const ReadCase kReadCases[] = {
    {"NoFile", nullptr, "boss", "key", "", 0},
    {"NoSection", "[update]\r\nid=6\r\n", "boss", "key", "", 0},
    {"NoKey", "[boss]\r\nother=3\r\n", "boss", "key", "", 0},
    {"BossKeyCtrlA", "[boss]\r\nkey=1089\r\n", "boss", "key", "1089", 1089},
    {"UpdateId", "[update]\r\nid=6\r\n[boss]\r\nkey=0\r\n", "update", "id", "6", 6},
    {"FortyCharactersCutTo31", "[boss]\r\nkey=1234567890123456789012345678901234567890\r\n", "boss", "key",
     "1234567890123456789012345678901", 2147483647},
    {"NotANumber", "[update]\r\nid=abc\r\n", "update", "id", "abc", 0},
    {"LeadingDigits", "[update]\r\nid=7beta\r\n", "update", "id", "7beta", 7},
    {"NamesInOtherCase", "[UPDATE]\r\nID=9\r\n", "update", "id", "9", 9},
    {"SpacesAroundValue", "[boss]\r\nkey =  1089  \r\n", "boss", "key", "1089", 1089},
    {"LfLineEnds", "[update]\nid=6\n", "update", "id", "6", 6},
    {"SecondSectionAfterFirst", "[boss]\r\nkey=1\r\n[update]\r\nid=8\r\n", "update", "id", "8", 8},
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class SettingsRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(SettingsRead, ReadsWithProfileRules)
{
    const ReadCase& c = GetParam();
    TempDir dir;
    std::string path = dir.File("version.ini");
    if (c.fileText) {
        std::ofstream(path, std::ios::binary) << c.fileText;
    }
    std::string value = DefaultSettingsStore().ReadString(c.section, c.key, "", kSettingsValueBuffer, path);
    EXPECT_EQ(value, c.expected);
    EXPECT_EQ(CrtAtoi(value), c.expectedNumber);
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsRead, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

std::string Read(const std::string& path, const char* section, const char* key)
{
    return DefaultSettingsStore().ReadString(section, key, "", kSettingsValueBuffer, path);
}

TEST(SettingsWrite, CreatesTheFileWhenMissing)
{
    TempDir dir;
    std::string path = dir.File("version.ini");
    ASSERT_TRUE(DefaultSettingsStore().WriteString("boss", "key", "1089", path));
    EXPECT_EQ(Read(path, "boss", "key"), "1089");
}

TEST(SettingsWrite, ReplacesTheValueAndKeepsEverythingElse)
{
    TempDir dir;
    std::string path = dir.File("version.ini");
    std::ofstream(path, std::ios::binary) << "[update]\r\nid=6\r\nurl=x\r\n[boss]\r\nKEY=5\r\n";
    ASSERT_TRUE(DefaultSettingsStore().WriteString("BOSS", "key", "1089", path));
    ASSERT_TRUE(DefaultSettingsStore().WriteString("update", "extra", "1", path));
    EXPECT_EQ(Read(path, "boss", "key"), "1089");
    EXPECT_EQ(Read(path, "update", "id"), "6");
    EXPECT_EQ(Read(path, "update", "url"), "x");
    EXPECT_EQ(Read(path, "update", "extra"), "1");
}

TEST(SettingsWrite, AddsAMissingSection)
{
    TempDir dir;
    std::string path = dir.File("version.ini");
    std::ofstream(path, std::ios::binary) << "[update]\r\nid=6\r\n";
    ASSERT_TRUE(DefaultSettingsStore().WriteString("boss", "key", "1089", path));
    EXPECT_EQ(Read(path, "boss", "key"), "1089");
    EXPECT_EQ(Read(path, "update", "id"), "6");
}

TEST(SettingsWrite, RefusedInAMissingDirectory)
{
    TempDir dir;
    std::string path = dir.File("missing") + TempDir::kSeparator + "version.ini";
    EXPECT_FALSE(DefaultSettingsStore().WriteString("boss", "key", "1", path));
    EXPECT_EQ(Read(path, "boss", "key"), "");
}

}  // namespace
