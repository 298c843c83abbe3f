#include <gtest/gtest.h>

#include <string>

#include "browser/NavigationRules.h"
#include "settings/Settings.h"

namespace {

constexpr auto npos = std::string_view::npos;
using Action = NavigationAction;

const std::string kEntry = "http://www.portal.test/games/duz/togame.php?target=tlvx";
const std::string kPassword = "http://c.partner.test/index.php/user/login/forgot_password";
const std::string kPass[3] = {
    "http://a.partner.test/guest/c/?gid=dova",
    "http://b.partner.test/index.php/user/login/logout",
    "http://c.partner.test/index.php/user/login/logout",
};

NavigationUrls TestUrls()
{
    return {{kPass[0], kPass[1], kPass[2]}, kPassword, kEntry};
}

TEST(DecideNavigation, FirstApplyingRuleWins)
{
    struct Case {
        const char* what;
        std::string url;
        Action expected;
    };
    const Case cases[] = {
        {"the entry URL", kEntry, Action::OpenGameWindow},
        {"entry URL with a further parameter", kEntry + "&server=12", Action::OpenGameWindow},
        {"entry URL inside another URL", "http://r.test/?to=" + kEntry, Action::OpenGameWindow},
        {"entry URL with its query value in upper case",
         "http://www.portal.test/games/duz/togame.php?target=TLVX", Action::LoadHere},
        {"entry URL cut short", kEntry.substr(0, kEntry.size() - 1), Action::LoadHere},
        {"pass-through 1 carrying the entry URL", kPass[0] + "&back=" + kEntry, Action::LoadHere},
        {"pass-through 2 carrying the entry URL", kPass[1] + "?back=" + kEntry, Action::LoadHere},
        {"pass-through 3 carrying the entry URL", kPass[2] + "?back=" + kEntry, Action::LoadHere},
        {"pass-through carrying the password URL", kPass[2] + "?next=" + kPassword, Action::LoadHere},
        {"password URL with extra query text", kPassword + "?from=launcher&u=demo", Action::OpenInDefaultBrowser},
        {"password URL carrying the entry URL", kPassword + "?next=" + kEntry, Action::OpenInDefaultBrowser},
        // Only the game entry search minds GBK characters; the others match
        // even from a trail byte on.
        {"pass-through from a trail byte on, then the entry URL", "http://r.test/?q=\xB0" + kPass[0] + "&to=" + kEntry,
         Action::LoadHere},
        {"password URL from a trail byte on, then the entry URL",
         "http://r.test/?q=\xB0" + kPassword + "&to=" + kEntry, Action::OpenInDefaultBrowser},
        {"entry URL after a whole GBK character", "http://r.test/?q=\xB0\xA1" + kEntry, Action::OpenGameWindow},
        {"other page of the portal", "http://www.portal.test/games/tlvx/", Action::LoadHere},
        {"empty URL", "", Action::LoadHere},
    };
    const NavigationUrls urls = TestUrls();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DecideNavigation(c.url, urls), c.expected);
    }
}

TEST(DecideNavigation, EntryUrlStartingOnATrailByteIsNotFound)
{
    // 0xB0 takes the entry URL's "h" as its trail byte: the bytes are there,
    // but not as characters of the text.
    const std::string url = "http://r.test/?q=\xB0" + kEntry;
    ASSERT_NE(url.find(kEntry), npos);
    EXPECT_EQ(DecideNavigation(url, TestUrls()), Action::LoadHere);
}

TEST(DecideNavigation, EmptyUrlsOfTheSetNeverApply)
{
    struct Case {
        const char* what;
        NavigationUrls urls;
        std::string url;
        Action expected;
    };
    const Case cases[] = {
        {"no game entry", {{kPass[0], kPass[1], kPass[2]}, kPassword, ""}, "http://r.test/", Action::LoadHere},
        {"no game entry, empty URL", {{kPass[0], kPass[1], kPass[2]}, kPassword, ""}, "", Action::LoadHere},
        {"no pass-through", {{"", "", ""}, kPassword, kEntry}, kEntry, Action::OpenGameWindow},
        {"one pass-through unset", {{kPass[0], "", kPass[2]}, kPassword, kEntry}, kEntry, Action::OpenGameWindow},
        {"no password URL", {{kPass[0], kPass[1], kPass[2]}, "", kEntry}, kEntry, Action::OpenGameWindow},
        {"nothing set", {}, kEntry, Action::LoadHere},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DecideNavigation(c.url, c.urls), c.expected);
    }
}

TEST(DecideNavigation, BuiltinUrlsRouteEachToItsRule)
{
    AssignRunTimeSettings();
    const std::string entry = builtin::kStartUrl;
    const std::pair<std::string, Action> cases[] = {
        {entry + "&sid=1", Action::OpenGameWindow},
        {std::string(builtin::kPasswordRecoveryUrl) + "?x=1", Action::OpenInDefaultBrowser},
        {std::string(builtin::kPassThroughUrl1) + "&r=" + entry, Action::LoadHere},
        {std::string(builtin::kPassThroughUrl2) + "?r=" + entry, Action::LoadHere},
        {std::string(builtin::kPassThroughUrl3) + "?r=" + entry, Action::LoadHere},
        {builtin::kLoginUrl, Action::LoadHere},
    };
    const NavigationUrls urls = BuiltinNavigationUrls();
    for (const auto& [url, expected] : cases) {
        SCOPED_TRACE(url);
        EXPECT_EQ(DecideNavigation(url, urls), expected);
    }
}

TEST(MbcsFind, MatchesStartOnlyOnCharacterBoundaries)
{
    struct Case {
        std::string_view haystack;
        std::string_view needle;
        size_t expected;
    };
    const Case cases[] = {
        {"abcabc", "bc", 1},
        {"abc", "abcd", npos},
        {"\xB0\xA1" "abc", "abc", 2},
        {"\xB0" "abc", "abc", npos},            // "a" is the trail byte of 0xB0
        {"\xB0" "abc", "bc", 2},
        {"\xB0" "aa", "a", 2},                  // the first "a" is a trail byte
        {"\x81" "a", "a", npos},                // lowest lead byte
        {"\xFE" "a", "a", npos},                // highest lead byte
        {"\x80" "a", "a", 1},                   // single-byte
        {"\xFF" "a", "a", 1},                   // single-byte
        {"\xC4\xE3\xBA\xC3", "\xBA\xC3", 2},    // whole characters
        {"\xC4\xE3\xBA\xC3", "\xE3\xBA", npos}, // across two characters
        {"ab\xB0", "\xB0", 2},                  // a lead byte with no trail byte
        {"a\xB0", "\xB0" "A", npos},
        {"", "a", npos},
        {"", "", 0},
        {"abc", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.haystack << "\" / \"" << c.needle << "\"");
        EXPECT_EQ(MbcsFind(c.haystack, c.needle), c.expected);
    }
}

TEST(GameWindowUrl, AppendsTheTimeAsASigned32BitNumber)
{
    struct Case {
        std::string_view url;
        int64_t seconds;
        std::string_view expected;
    };
    const Case cases[] = {
        {"http://p.test/togame.php?target=tlvx", 1700000000, "http://p.test/togame.php?target=tlvx&t=1700000000"},
        {"http://p.test/togame.php", 1700000000, "http://p.test/togame.php&t=1700000000"},
        {"http://p.test/?a=1", 2147483647, "http://p.test/?a=1&t=2147483647"},
        {"http://p.test/?a=1", 2147483648, "http://p.test/?a=1&t=-2147483648"},
        {"http://p.test/?a=1", 4102444800, "http://p.test/?a=1&t=-192522496"},  // 2100-01-01
        {"http://p.test/?a=1", 4294967296 + 5, "http://p.test/?a=1&t=5"},
        {"", 0, "&t=0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.url << " at " << c.seconds);
        EXPECT_EQ(GameWindowUrl(c.url, c.seconds), c.expected);
    }
}

}  // namespace
