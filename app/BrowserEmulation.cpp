#include "app/BrowserEmulation.h"

const char* MachineBrowserEmulationKey(uint16_t processorArchitecture)
{
    constexpr uint16_t kArchIa64 = 6;
    constexpr uint16_t kArchAmd64 = 9;
    if (processorArchitecture == kArchAmd64 || processorArchitecture == kArchIa64)
        return "SOFTWARE\\Wow6432Node\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_BROWSER_EMULATION";
    return "SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_BROWSER_EMULATION";
}
