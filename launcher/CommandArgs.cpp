#include "launcher/CommandArgs.h"

#include <array>
#include <cstdint>

#include "platform/AsciiCase.h"
#include "platform/Atoi.h"

namespace {

std::string_view UpToNul(std::string_view text)
{
    const size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

int32_t WrappingAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// One axis of the centring; 64-bit so that no rectangle can overflow it.
int32_t CentreAxis(int64_t size, int64_t areaLow, int64_t areaHigh)
{
    int64_t low = (areaLow + areaHigh) / 2 - size / 2;
    if (low + size > areaHigh)
        low = areaHigh - size;
    if (low < areaLow)
        low = areaLow;
    return static_cast<int32_t>(low);
}

}  // namespace

LauncherCommand MatchLauncherCommand(std::string_view word) noexcept
{
    // The order in which the launcher tries them; the words are distinct, so
    // the order only matters to a reader comparing it with the handler.
    static constexpr std::array<std::pair<std::string_view, LauncherCommand>, 7> kCommands{{
        {"close", LauncherCommand::Close},
        {"moveweb", LauncherCommand::MoveWeb},
        {"moveweb_2", LauncherCommand::MoveWeb2},
        {"openweb", LauncherCommand::OpenWeb},
        {"weburl", LauncherCommand::WebUrl},
        {"weburl_2", LauncherCommand::WebUrl2},
        {"min", LauncherCommand::Min},
    }};
    word = UpToNul(word);
    for (const auto& [name, command] : kCommands) {
        if (EqualsIgnoringAsciiCase(word, name))
            return command;
    }
    return LauncherCommand::None;
}

std::optional<Rect> ParseWebRect(std::string_view args) noexcept
{
    args = UpToNul(args);
    std::array<int32_t, 4> values{};
    size_t fields = 0;
    size_t start = 0;
    while (fields < values.size()) {
        const size_t comma = args.find(',', start);
        if (comma == std::string_view::npos) {
            // The text after the final comma is a field only when it is not
            // empty; text with no comma at all is always one field.
            if (start < args.size() || start == 0)
                values[fields++] = CrtAtoi(args.substr(start));
            break;
        }
        values[fields++] = CrtAtoi(args.substr(start, comma - start));
        start = comma + 1;
    }
    if (fields < values.size())
        return std::nullopt;
    const auto [x, y, w, h] = values;
    return Rect{x, y, WrappingAdd(x, w), WrappingAdd(y, h)};
}

Point CentreInWorkArea(const Rect& window, const Rect& workArea) noexcept
{
    const int64_t width = int64_t{window.right} - window.left;
    const int64_t height = int64_t{window.bottom} - window.top;
    return Point{CentreAxis(width, workArea.left, workArea.right),
                 CentreAxis(height, workArea.top, workArea.bottom)};
}
