#include <gtest/gtest.h>

#include "app/AppPath.h"
#include "app/BrowserEmulation.h"

TEST(AppDir, DriveAndDirectoryEndingInABackslash)
{
    struct {
        const char* path;
        const char* dir;
    } cases[] = {
        {"C:\\Games\\Launcher\\x.exe", "C:\\Games\\Launcher\\"},
        {"C:\\x.exe", "C:\\"},
        {"Z:\\work\\build\\Morvane.exe", "Z:\\work\\build\\"},
        {"\\\\server\\share\\Morvane.exe", "\\\\server\\share\\"},
        {"C:/games/x.exe", "C:/games/"},
        {"x.exe", "\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AppDirFromModulePath(c.path), c.dir) << c.path;
}

TEST(AppDir, OnlyALosslessFormOfThePathIsUsed)
{
    struct {
        const char* name;
        AnsiPathForm longForm;
        std::optional<AnsiPathForm> shortForm;
        std::optional<std::string> expected;
    } cases[] = {
        {"LosslessLong", {"C:\\Games\\Morvane.exe", true}, std::nullopt, "C:\\Games\\Morvane.exe"},
        {"LossyLongLosslessShort", {"C:\\Ga?es\\Morvane.exe", false}, AnsiPathForm{"C:\\GAES~1\\Morvane.exe", true},
         "C:\\GAES~1\\Morvane.exe"},
        // Best fit turned a fullwidth backslash into a real one: another directory.
        {"LossyLongNoShort", {"C:\\Games\\A\\B\\Morvane.exe", false}, std::nullopt, std::nullopt},
        {"LossyLongLossyShort", {"C:\\Ga?es\\Morvane.exe", false}, AnsiPathForm{"C:\\Ga?es\\Morvane.exe", false},
         std::nullopt},
        {"EmptyLong", {"", true}, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UsableAnsiPath(c.longForm, c.shortForm), c.expected) << c.name;
}

TEST(AppDir, LongPathIsKeptWhole)
{
    std::string dir = "C:\\" + std::string(300, 'a') + "\\";
    EXPECT_EQ(AppDirFromModulePath(dir + "Morvane.exe"), dir);
}

TEST(AppTitle, FileNameWithoutExtension)
{
    EXPECT_EQ(FileTitleFromPath(std::string("C:\\Games\\Morvane.exe")), "Morvane");
    EXPECT_EQ(FileTitleFromPath(std::string("C:\\a.b\\Game.v2.exe")), "Game.v2");
    EXPECT_EQ(FileTitleFromPath(std::wstring(L"Z:/x/Game")), L"Game");
    EXPECT_EQ(BrowserEmulationValueName(std::string("Game")), "Game.exe");
}

TEST(BrowserEmulation, KeyFollowsTheProcessorArchitecture)
{
    const std::string wow = "SOFTWARE\\Wow6432Node\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_BROWSER_EMULATION";
    const std::string plain = "SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_BROWSER_EMULATION";
    EXPECT_EQ(MachineBrowserEmulationKey(0), plain);   // x86
    EXPECT_EQ(MachineBrowserEmulationKey(6), wow);     // IA64
    EXPECT_EQ(MachineBrowserEmulationKey(9), wow);     // AMD64
    EXPECT_EQ(MachineBrowserEmulationKey(12), plain);  // ARM64 has no such level here
    EXPECT_EQ(kBrowserEmulationMode, 11001u);
}
