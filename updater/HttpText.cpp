#include "updater/HttpText.h"

#include "platform/AsciiCase.h"
#include "platform/Atoi.h"

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

}  // namespace

UrlParts SplitUrl(std::string_view url)
{
    size_t scheme = url.find("://");
    std::string_view rest = scheme == std::string_view::npos ? url : url.substr(scheme + 3);
    size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    UrlParts parts;
    parts.host = std::string(authority.substr(0, authority.find(':')));
    parts.path = slash == std::string_view::npos ? std::string("/") : std::string(rest.substr(slash));
    return parts;
}

std::string ComposeGetRequest(std::string_view host, std::string_view path, const char* cookie,
                              const char* referer, long rangeStart, long rangeEnd)
{
    std::string r;
    r.reserve(256);
    r.append("GET ").append(path).append(" HTTP/1.1").append(kCrLf);
    r.append("Host:").append(host).append(kCrLf);
    if (referer)
        r.append("Referer:").append(referer).append(kCrLf);
    r.append("Accept:*/*").append(kCrLf);
    r.append("User-Agent:Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)").append(kCrLf);
    r.append("Connection:Keep-Alive").append(kCrLf);
    if (cookie)
        r.append("Set Cookie:0").append(cookie).append(kCrLf);
    if (rangeStart > 0) {
        r.append("Range: bytes=").append(std::to_string(rangeStart)).append("-");
        if (rangeEnd > rangeStart)
            r.append(std::to_string(rangeEnd));
        r.append(kCrLf);
    }
    r.append(kCrLf);
    return r;
}

int ParseStatusCode(std::string_view header)
{
    if (header.size() < 12 || !IsDigit(header[9]) || !IsDigit(header[10]) || !IsDigit(header[11]))
        return -1;
    return CrtAtoi(header.substr(9, 3));
}

std::optional<std::string_view> FindHeaderField(std::string_view header, std::string_view name)
{
    if (name.empty())
        return std::nullopt;
    // Field lines start after the status line; each ends with CR LF.
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

std::optional<int32_t> ParseContentLength(std::string_view value)
{
    constexpr std::string_view kMax = "2147483647";
    if (value.empty() || value.size() > kMax.size())
        return std::nullopt;
    for (char c : value) {
        if (!IsDigit(c))
            return std::nullopt;
    }
    // Ten digits compare as text against the largest value: no arithmetic can overflow.
    if (value.size() == kMax.size() && value > kMax)
        return std::nullopt;
    return CrtAtoi(value);
}
