#include "platform/devtools/FramePicture.h"

#include "platform/devtools/Base64.h"
#include "platform/devtools/JpegDecoder.h"

namespace devtools {

void FramePicture::Release::operator()(uint8_t* pixels) const { FreeJpegRgba(pixels); }

std::optional<FramePicture> DecodeFramePicture(std::string_view base64Jpeg)
{
    const std::optional<std::string> jpeg = DecodeBase64(base64Jpeg);
    if (!jpeg || jpeg->empty())
        return std::nullopt;
    FramePicture picture;
    picture.pixels.reset(
        DecodeJpegRgba(reinterpret_cast<const uint8_t*>(jpeg->data()), jpeg->size(), &picture.width, &picture.height));
    if (!picture.pixels || picture.width <= 0 || picture.height <= 0)
        return std::nullopt;
    // Red, green, blue, alpha to the bitmap's blue, green, red, unused, in
    // place: a second picture-sized buffer costs more than the decoding.
    uint8_t* p = picture.pixels.get();
    const size_t count = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
    for (size_t i = 0; i < count; ++i, p += 4) {
        const uint8_t red = p[0];
        p[0] = p[2];
        p[2] = red;
        p[3] = 0;
    }
    return picture;
}

}  // namespace devtools
