#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "flashhost/AlphaRecovery.h"

namespace {

struct AlphaPass {
    const char* name;
    void (*run)(uint8_t*, const uint8_t*, uint32_t, uint32_t) noexcept;
};
void PrintTo(const AlphaPass& p, std::ostream* os) { *os << p.name; }

struct Bgr {
    uint8_t b, g, r;
};

struct PixelCase {
    const char* what;
    Bgr overBlack;
    Bgr overWhite;
    uint8_t alpha;
};

const PixelCase kPixelCases[] = {
    {"untouched: black over black, white over white", {0, 0, 0}, {255, 255, 255}, 0},
    {"opaque: the same colour over both", {30, 200, 10}, {30, 200, 10}, 255},
    {"half-opaque white", {128, 128, 128}, {255, 255, 255}, 128},
    {"white render darker in one channel wraps to 255", {10, 50, 50}, {9, 50, 50}, 170},
    {"d = 2 truncates to alpha 255", {0, 0, 0}, {1, 1, 0}, 255},
    {"d = 764 gives 1, not 0", {0, 0, 0}, {255, 255, 254}, 1},
    {"channels are weighed alike", {0, 0, 0}, {0, 0, 255}, 170},
};

class AlphaPassTest : public testing::TestWithParam<AlphaPass> {};

// Each case fills a 7 x 3 surface, so it passes through the vector body and
// the scalar tail alike; the black surface's alpha bytes start as garbage.
TEST_P(AlphaPassTest, PixelCases)
{
    constexpr uint32_t w = 7, h = 3;
    for (const PixelCase& c : kPixelCases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> black, white;
        for (uint32_t i = 0; i < w * h; ++i) {
            black.insert(black.end(), {c.overBlack.b, c.overBlack.g, c.overBlack.r, 0x5A});
            white.insert(white.end(), {c.overWhite.b, c.overWhite.g, c.overWhite.r, 0xA5});
        }
        const auto whiteBefore = white;
        GetParam().run(black.data(), white.data(), w, h);
        for (uint32_t i = 0; i < w * h; ++i) {
            const uint8_t* p = &black[i * 4];
            ASSERT_EQ(p[0], c.overBlack.b) << "pixel " << i;
            ASSERT_EQ(p[1], c.overBlack.g) << "pixel " << i;
            ASSERT_EQ(p[2], c.overBlack.r) << "pixel " << i;
            ASSERT_EQ(p[3], c.alpha) << "pixel " << i;
        }
        EXPECT_EQ(white, whiteBefore);
    }
}

TEST_P(AlphaPassTest, EmptySurfaceWritesNothing)
{
    std::array<uint8_t, 4> guard{1, 2, 3, 4};
    GetParam().run(guard.data(), guard.data(), 0, 5);
    GetParam().run(guard.data(), guard.data(), 5, 0);
    EXPECT_EQ(guard, (std::array<uint8_t, 4>{1, 2, 3, 4}));
}

INSTANTIATE_TEST_SUITE_P(Both, AlphaPassTest,
                         testing::Values(AlphaPass{"Fast", &RecoverAlpha},
                                         AlphaPass{"Reference", &RecoverAlphaReference}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every channel sum d in 0..765, laid out as one row: the division by 3 by
// multiplication must agree with the reference for each of them.
TEST(AlphaFastVsReference, EveryChannelSum)
{
    constexpr uint32_t kSums = 766;
    std::vector<uint8_t> black(kSums * 4, 0), white(kSums * 4, 0);
    for (uint32_t d = 0; d < kSums; ++d) {
        uint32_t left = d;
        for (int c = 0; c < 3; ++c) {
            const uint32_t part = std::min<uint32_t>(left, 255);
            white[d * 4 + c] = static_cast<uint8_t>(part);
            left -= part;
        }
    }
    auto reference = black;
    RecoverAlpha(black.data(), white.data(), kSums, 1);
    RecoverAlphaReference(reference.data(), white.data(), kSums, 1);
    for (uint32_t d = 0; d < kSums; ++d)
        ASSERT_EQ(black[d * 4 + 3], 255 - d / 3) << "d = " << d;
    EXPECT_EQ(black, reference);
}

TEST(AlphaFastVsReference, RandomSurfacesOfManyShapes)
{
    std::mt19937 rng(7);
    const std::pair<uint32_t, uint32_t> shapes[] = {{1, 1}, {2, 3}, {3, 1}, {4, 4}, {5, 2}, {6, 7}, {13, 11},
                                                    {33, 1}, {1, 33}, {1506, 867}};
    for (auto [w, h] : shapes) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        std::vector<uint8_t> black(size_t{w} * h * 4), white(black.size());
        for (auto& b : black)
            b = static_cast<uint8_t>(rng());
        for (auto& b : white)
            b = static_cast<uint8_t>(rng());
        auto reference = black;
        RecoverAlpha(black.data(), white.data(), w, h);
        RecoverAlphaReference(reference.data(), white.data(), w, h);
        ASSERT_TRUE(black == reference);
    }
}

// The surfaces come from DIB sections, but nothing promises 16-byte
// alignment of a sub-range; an odd start must work and stay in bounds.
TEST(AlphaFastVsReference, UnalignedSurfaces)
{
    std::mt19937 rng(11);
    std::vector<uint8_t> black(4 * 9 + 3), white(4 * 9 + 1);
    for (auto& b : black)
        b = static_cast<uint8_t>(rng());
    for (auto& b : white)
        b = static_cast<uint8_t>(rng());
    auto reference = black;
    RecoverAlpha(black.data() + 3, white.data() + 1, 9, 1);
    RecoverAlphaReference(reference.data() + 3, white.data() + 1, 9, 1);
    EXPECT_EQ(black, reference);
}

}  // namespace
