#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What the page window does with a top-level navigation. URLs are narrow, in
// the ANSI code page (GBK on the players' machines).

struct NavigationUrls {
    std::string passThrough[3];    // always loaded in the page window
    std::string passwordRecovery;  // handed to the default browser
    std::string gameEntry;         // opens the game window
};

enum class NavigationAction {
    LoadHere,
    OpenInDefaultBrowser,  // open the URL there and cancel this navigation
    OpenGameWindow,        // cancel this navigation and open the game window
};

// The first rule that applies: a pass-through URL inside `url` loads it here;
// then the password recovery URL inside it goes to the default browser; then
// the game entry URL inside it (found with MbcsFind) opens the game window;
// anything else loads here. The pass-through and password searches are plain
// byte searches; every search is case-sensitive. An empty URL in `urls`
// never applies, so an unset game entry cannot capture every navigation.
NavigationAction DecideNavigation(std::string_view url, const NavigationUrls& urls);

// The built-in URLs with the run-time game entry URL, g_strStartUrl (so
// AssignRunTimeSettings must have run).
NavigationUrls BuiltinNavigationUrls();

// Where `needle` first occurs in `haystack`, the way _mbsstr finds it under
// code page 936: a match starts only on a character boundary, a GBK lead
// byte (0x81-0xFE) taking the byte after it as its trail byte. An empty
// needle is found at 0, as with std::string_view::find.
size_t MbcsFind(std::string_view haystack, std::string_view needle) noexcept;

// The game window's URL for the game entry URL `url`: "&t=" and the low 32
// bits of the time as a signed decimal, always with "&" (the portal's entry
// URL carries a query).
std::string GameWindowUrl(std::string_view url, int64_t secondsSinceEpoch);
