// Which part of a PNG button's strip shows for each look.
#include <gtest/gtest.h>

#include "controls/PngStrip.h"

namespace {

using pngstrip::Frame;

TEST(PngStrip, EachLookHasItsColumnAndTheLastTakesTheRemainder)
{
    struct Case {
        int width, height, count, state;
        std::optional<Rect> frame;
    };
    const Case cases[] = {
        {360, 36, 3, 1, Rect{0, 0, 120, 36}},
        {360, 36, 3, 2, Rect{120, 0, 240, 36}},
        {360, 36, 3, 3, Rect{240, 0, 360, 36}},
        {360, 36, 3, 4, std::nullopt},  // no disabled frame: nothing is drawn
        {181, 20, 3, 3, Rect{120, 0, 181, 20}},  // the remainder goes to the last
        {181, 20, 3, 2, Rect{60, 0, 120, 20}},
        {403, 10, 4, 4, Rect{300, 0, 403, 10}},
        {403, 10, 4, 1, Rect{0, 0, 100, 10}},
        {50, 10, 1, 3, Rect{0, 0, 50, 10}},  // one frame shows for every look
        {60, 20, 2, 1, std::nullopt},        // a count the strip does not know
        {60, 20, 3, 0, std::nullopt},        // a state outside the looks
        {60, 20, 3, 5, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " count " << c.count << " state " << c.state);
        EXPECT_EQ(Frame(c.width, c.height, c.count, c.state), c.frame);
    }
}

TEST(PngStrip, TheButtonIsOneFrameInSize)
{
    EXPECT_EQ(pngstrip::FrameSize(360, 36, 3), (Size{120, 36}));
    EXPECT_EQ(pngstrip::FrameSize(403, 10, 4), (Size{100, 10}));
    EXPECT_EQ(pngstrip::FrameSize(50, 10, 1), (Size{50, 10}));
    EXPECT_EQ(pngstrip::FrameSize(50, 10, 2), std::nullopt);
}

}  // namespace
