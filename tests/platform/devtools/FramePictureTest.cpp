// Screencast frames to pictures: a JPEG made here comes back with its
// colours where they were, in the bitmap's byte order; what is no JPEG, or
// no base64, or a picture too large for any screen, gives nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/devtools/Base64.h"
#include "platform/devtools/FramePicture.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

void Append(void* context, void* data, int size)
{
    auto* out = static_cast<std::string*>(context);
    out->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

// A picture whose left half is one colour and right half another.
std::string TwoColourJpeg(int width, int height, const uint8_t left[3], const uint8_t right[3])
{
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* c = x < width / 2 ? left : right;
            std::copy(c, c + 3, rgb.begin() + (static_cast<size_t>(y) * width + x) * 3);
        }
    std::string jpeg;
    stbi_write_jpg_to_func(&Append, &jpeg, width, height, 3, rgb.data(), 95);
    return jpeg;
}

std::string Base64(const std::string& bytes)
{
    return devtools::EncodeBase64(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

void ExpectNear(const uint8_t* bgrx, const uint8_t rgb[3], const char* where)
{
    EXPECT_NEAR(bgrx[2], rgb[0], 8) << where;
    EXPECT_NEAR(bgrx[1], rgb[1], 8) << where;
    EXPECT_NEAR(bgrx[0], rgb[2], 8) << where;
    EXPECT_EQ(bgrx[3], 0) << where;
}

TEST(FramePicture, ComesBackAtItsSizeWithItsColoursInBitmapOrder)
{
    const uint8_t red[3] = {200, 30, 20}, blue[3] = {20, 40, 210};
    // An odd size: rows are not padded, the halves fall where they were.
    const auto picture = devtools::DecodeFramePicture(Base64(TwoColourJpeg(67, 35, red, blue)));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 67);
    EXPECT_EQ(picture->height, 35);
    ASSERT_EQ(picture->Pixels().size(), 67u * 35u * 4u);
    auto at = [&](int x, int y) { return picture->Pixels().data() + (static_cast<size_t>(y) * 67 + x) * 4; };
    ExpectNear(at(5, 3), red, "top left");
    ExpectNear(at(10, 33), red, "bottom left");
    ExpectNear(at(60, 2), blue, "top right");
    ExpectNear(at(62, 30), blue, "bottom right");
}

TEST(FramePicture, GivesNothingForWhatIsNoFrame)
{
    const uint8_t grey[3] = {128, 128, 128};
    const std::string jpeg = TwoColourJpeg(32, 32, grey, grey);
    std::string tooLarge = TwoColourJpeg(16, 16, grey, grey);
    // The frame header's height and width (big-endian, after its length
    // and precision) say 20000 pixels a side.
    const size_t sof = tooLarge.find("\xFF\xC0", 0, 2);
    ASSERT_NE(sof, std::string::npos);
    tooLarge[sof + 5] = '\x4E', tooLarge[sof + 6] = '\x20';
    tooLarge[sof + 7] = '\x4E', tooLarge[sof + 8] = '\x20';
    const std::pair<std::string, const char*> cases[] = {
        {"", "empty"},
        {"not base64!", "not base64"},
        {Base64("GIF89a plainly not a JPEG"), "not a JPEG"},
        {Base64(jpeg.substr(0, 40)), "cut short in its headers"},
        {Base64(tooLarge), "larger than any screen"},
    };
    for (const auto& [data, what] : cases)
        EXPECT_FALSE(devtools::DecodeFramePicture(data)) << what;
}

}  // namespace
