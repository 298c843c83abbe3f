#include "platform/Atoi.h"

#include <climits>
#include <cstdint>

int CrtAtoi(std::string_view text) noexcept
{
    size_t i = 0;
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr int64_t kLimit = int64_t{INT_MAX} + 1;  // magnitude of INT_MIN
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude <= kLimit)
            magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (magnitude > kLimit)
        magnitude = kLimit;
    if (negative)
        return static_cast<int>(-magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}
