#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Rendering mode of the embedded browsers: a REG_DWORD named after the
// executable under the feature-control key.
constexpr uint32_t kBrowserEmulationMode = 11001;

// Machine-wide key under HKEY_LOCAL_MACHINE, chosen by the native processor
// architecture (9 AMD64 and 6 IA64 get the 32-bit view's Wow6432Node level).
const char* MachineBrowserEmulationKey(uint16_t processorArchitecture);

// Per-user key under HKEY_CURRENT_USER, written as well so that a player
// without administrator rights still gets the mode; one key for every
// architecture (the user hive has no separate 32-bit view of it).
constexpr const char* kUserBrowserEmulationKey =
    "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

template <class Str>
Str BrowserEmulationValueName(const Str& appTitle)
{
    Str name = appTitle;
    for (char c : std::string_view(".exe"))
        name.push_back(static_cast<typename Str::value_type>(c));
    return name;
}
