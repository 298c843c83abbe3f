#pragma once
// The texts of one HTTP exchange, apart from any socket: the request the
// client sends and what it takes from the response header.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/HttpHeader.h"  // FindHeaderField, for the response header

struct UrlParts {
    std::string host;  // without any port
    std::string path;  // from the first "/" after the host; "/" when there is none
};

// "scheme://host[:port]/path". The scheme and the port are not used: the
// client always talks plain HTTP to port 80.
UrlParts SplitUrl(std::string_view url);

// The GET request, byte for byte as servers have always received it. The
// referer and cookie lines appear only when given, the range line only when
// rangeStart > 0.
std::string ComposeGetRequest(std::string_view host, std::string_view path, const char* cookie,
                              const char* referer, long rangeStart, long rangeEnd);

// The status code of "HTTP/1.x NNN ...": the three digits at offsets 9 to 11, or -1.
int ParseStatusCode(std::string_view header);


// A Content-Length value: 1 to 10 decimal digits and at most 2^31 - 1.
std::optional<int32_t> ParseContentLength(std::string_view value);
