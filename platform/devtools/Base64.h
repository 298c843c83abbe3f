#pragma once
// Base64 (RFC 4648, the standard alphabet with padding): the WebSocket
// handshake's keys one way, the browser's picture frames the other.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace devtools {

std::string EncodeBase64(const uint8_t* data, size_t size);
// The bytes, or nullopt for text that is not base64 (a stray character,
// a length that is not a multiple of four, padding in the middle).
std::optional<std::string> DecodeBase64(std::string_view text);

}  // namespace devtools
