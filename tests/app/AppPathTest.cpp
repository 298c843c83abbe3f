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
