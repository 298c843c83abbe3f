#include "browser/NavigationRules.h"

#include "settings/Settings.h"

namespace {

bool IsGbkLeadByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x81 && b <= 0xFE;
}

bool ContainsBytes(std::string_view url, std::string_view pattern)
{
    return !pattern.empty() && url.find(pattern) != std::string_view::npos;
}

}  // namespace

size_t MbcsFind(std::string_view haystack, std::string_view needle) noexcept
{
    // A lead byte as the last byte steps past the end: no match there.
    size_t pos = 0;
    while (pos <= haystack.size() && needle.size() <= haystack.size() - pos) {
        if (haystack.compare(pos, needle.size(), needle) == 0)
            return pos;
        pos += IsGbkLeadByte(haystack[pos]) ? 2 : 1;
    }
    return std::string_view::npos;
}

NavigationAction DecideNavigation(std::string_view url, const NavigationUrls& urls)
{
    for (const std::string& passThrough : urls.passThrough) {
        if (ContainsBytes(url, passThrough))
            return NavigationAction::LoadHere;
    }
    if (ContainsBytes(url, urls.passwordRecovery))
        return NavigationAction::OpenInDefaultBrowser;
    if (!urls.gameEntry.empty() && MbcsFind(url, urls.gameEntry) != std::string_view::npos)
        return NavigationAction::OpenGameWindow;
    return NavigationAction::LoadHere;
}

NavigationUrls BuiltinNavigationUrls()
{
    NavigationUrls urls;
    urls.passThrough[0] = builtin::kPassThroughUrl1;
    urls.passThrough[1] = builtin::kPassThroughUrl2;
    urls.passThrough[2] = builtin::kPassThroughUrl3;
    urls.passwordRecovery = builtin::kPasswordRecoveryUrl;
    urls.gameEntry = g_strStartUrl;
    return urls;
}

std::string GameWindowUrl(std::string_view url, int64_t secondsSinceEpoch)
{
    // The time went through a 32-bit int: past 2038 it prints negative.
    const auto low = static_cast<int32_t>(static_cast<uint32_t>(secondsSinceEpoch));
    std::string result(url);
    result += "&t=";
    result += std::to_string(low);
    return result;
}
