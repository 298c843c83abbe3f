#include "platform/devtools/Base64.h"

namespace devtools {

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int ValueOf(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}
}  // namespace

std::string EncodeBase64(const uint8_t* data, size_t size)
{
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    for (size_t i = 0; i < size; i += 3) {
        const size_t left = size - i;
        const uint32_t group = uint32_t{data[i]} << 16 | (left > 1 ? uint32_t{data[i + 1]} << 8 : 0) |
                               (left > 2 ? uint32_t{data[i + 2]} : 0);
        out.push_back(kAlphabet[group >> 18 & 63]);
        out.push_back(kAlphabet[group >> 12 & 63]);
        out.push_back(left > 1 ? kAlphabet[group >> 6 & 63] : '=');
        out.push_back(left > 2 ? kAlphabet[group & 63] : '=');
    }
    return out;
}

std::optional<std::string> DecodeBase64(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int v[4];
        int padding = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=' && last && k >= 2) {
                v[k] = 0;
                ++padding;
                continue;
            }
            if (padding)  // data after padding
                return std::nullopt;
            v[k] = ValueOf(c);
            if (v[k] < 0)
                return std::nullopt;
        }
        const uint32_t group = uint32_t(v[0]) << 18 | uint32_t(v[1]) << 12 | uint32_t(v[2]) << 6 | uint32_t(v[3]);
        out.push_back(static_cast<char>(group >> 16 & 0xFF));
        if (padding < 2)
            out.push_back(static_cast<char>(group >> 8 & 0xFF));
        if (padding < 1)
            out.push_back(static_cast<char>(group & 0xFF));
    }
    return out;
}

}  // namespace devtools
