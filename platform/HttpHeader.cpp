#include "platform/HttpHeader.h"

#include "platform/AsciiCase.h"

namespace {
constexpr std::string_view kCrLf = "\r\n";
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::optional<std::string_view> FindHeaderField(std::string_view header, std::string_view name)
{
    if (name.empty())
        return std::nullopt;
    // Field lines start after the start line; each ends with CR LF.
    size_t lineStart = header.find(kCrLf);
    while (lineStart != std::string_view::npos) {
        lineStart += kCrLf.size();
        size_t lineEnd = header.find(kCrLf, lineStart);
        if (lineEnd == std::string_view::npos)
            break;
        std::string_view line = header.substr(lineStart, lineEnd - lineStart);
        if (line.size() > name.size() && line[name.size()] == ':' &&
            EqualsIgnoringAsciiCase(line.substr(0, name.size()), name))
            return TrimBlanks(line.substr(name.size() + 1));
        lineStart = lineEnd;
    }
    return std::nullopt;
}
