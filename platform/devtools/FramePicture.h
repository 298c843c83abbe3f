#pragma once
// The browser's screencast frames as pictures a window can show: decoded
// where they arrive (the connection's reader), so the window's thread only
// paints them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace devtools {

// Rows top-down, four bytes a pixel in blue, green, red, unused order: the
// layout of a 32-bit device-independent bitmap, painted without a copy.
struct FramePicture {
    struct Release {
        void operator()(uint8_t* pixels) const;
    };
    int width = 0;
    int height = 0;
    std::unique_ptr<uint8_t, Release> pixels;  // width * 4 bytes a row

    std::span<const uint8_t> Pixels() const
    {
        return {pixels.get(), static_cast<size_t>(width) * static_cast<size_t>(height) * 4};
    }
};

// A frame's "data" (base64 of a JPEG); nullopt when it is not base64, not a
// JPEG, or larger than any screen (16384 pixels a side).
std::optional<FramePicture> DecodeFramePicture(std::string_view base64Jpeg);

}  // namespace devtools
