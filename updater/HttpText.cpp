#include "updater/HttpText.h"

#include "platform/Atoi.h"

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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
