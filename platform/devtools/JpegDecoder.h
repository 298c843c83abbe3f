#pragma once
// JPEG decoding through Debian's stb_image, kept to its own unit so that the
// library's implementation is compiled once and with its options.
#include <cstddef>
#include <cstdint>

namespace devtools {

// Red, green, blue, alpha bytes, rows top-down; nullptr when the bytes are
// no JPEG or the picture is larger than 16384 pixels a side. Freed with
// FreeJpegRgba.
uint8_t* DecodeJpegRgba(const uint8_t* data, size_t size, int* width, int* height);
void FreeJpegRgba(uint8_t* pixels);

}  // namespace devtools
