// Which frame of a drawn button's strip shows, and where it lies.
#include <gtest/gtest.h>

#include "controls/ButtonFrame.h"

namespace {

TEST(ButtonFrame, StateChoosesAFrameTheStripHas)
{
    struct Case {
        bool disabled, pressed, hovered;
        int count, frame;
    };
    const Case cases[] = {
        // Four frames: every state has its own.
        {false, false, false, 4, 0},
        {false, false, true, 4, 1},
        {false, true, false, 4, 2},
        {true, false, false, 4, 3},
        {true, true, true, 4, 3},
        // Three frames: no disabled look.
        {false, true, true, 3, 2},  // pressed beats hover
        {true, false, false, 3, 0},
        {true, false, true, 3, 1},
        {true, true, false, 3, 2},
        // Fewer frames fall back to the last one there is.
        {false, true, true, 2, 1},
        {false, true, false, 2, 0},
        {false, false, true, 1, 0},
        {true, true, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "disabled=" << c.disabled << " pressed=" << c.pressed
                                        << " hovered=" << c.hovered << " count=" << c.count);
        EXPECT_EQ(ChooseFrame(c.disabled, c.pressed, c.hovered, c.count), c.frame);
    }
}

TEST(ButtonFrame, SourceIsOneFrameWideRoundedDown)
{
    struct Case {
        int width, height, count, frame;
        Rect source;
    };
    const Case cases[] = {
        {180, 17, 3, 0, {0, 0, 60, 17}},
        {180, 17, 3, 2, {120, 0, 180, 17}},
        {60, 20, 3, 1, {20, 0, 40, 20}},
        {913, 715, 1, 0, {0, 0, 913, 715}},
        {182, 17, 3, 2, {120, 0, 180, 17}},  // the last two columns never show
        {181, 17, 3, 1, {60, 0, 120, 17}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " /" << c.count << " #" << c.frame);
        EXPECT_EQ(FrameSource(c.width, c.height, c.count, c.frame), c.source);
    }
}

TEST(ButtonFrame, NoFramesGiveAnEmptySource)
{
    for (int count : {0, -1})
        EXPECT_TRUE(FrameSource(180, 17, count, 0).IsEmpty()) << count;
}

}  // namespace
