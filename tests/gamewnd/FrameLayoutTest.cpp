// The game window frame: button layout, button search, hit codes, the skin's
// pieces and the double-click band.
#include <gtest/gtest.h>

#include <map>

#include "gamewnd/FrameLayout.h"

using namespace gameframe;

namespace {

std::map<int, Rect> ById(const CaptionButtons& buttons)
{
    std::map<int, Rect> rects;
    for (const CaptionButton& b : buttons)
        rects[b.id] = b.rect;
    return rects;
}

TEST(FrameLayout, ButtonsSitAtTheRightEndOfTheCaptionForAnyWidth)
{
    struct Case {
        int width;
        std::map<int, Rect> rects;
    };
    const Case cases[] = {
        {1920,
         {{110, {1895, 5, 1915, 25}},
          {111, {1865, 5, 1885, 25}},
          {112, {1835, 5, 1855, 25}},
          {113, {1805, 5, 1825, 25}},
          {114, {1690, 25, 1750, 42}},
          {115, {1630, 25, 1690, 42}},
          {116, {1570, 25, 1630, 42}},
          {117, {1750, 25, 1810, 42}}}},
        {800,
         {{110, {775, 5, 795, 25}},
          {111, {745, 5, 765, 25}},
          {112, {715, 5, 735, 25}},
          {113, {685, 5, 705, 25}},
          {114, {570, 25, 630, 42}},
          {115, {510, 25, 570, 42}},
          {116, {450, 25, 510, 42}},
          {117, {630, 25, 690, 42}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const CaptionButtons buttons = CaptionButtonRects(c.width);
        EXPECT_EQ(ById(buttons), c.rects);
        for (size_t i = 1; i < buttons.size(); ++i)
            EXPECT_LT(buttons[i - 1].id, buttons[i].id) << "ascending id order";
    }
}

TEST(FrameLayout, ProvisionalButtonsStackTheSystemButtonsAndStepTextButtonsLeft)
{
    const CaptionButtons buttons = InitialButtonRects(1920);
    const std::map<int, Rect> expected{
        {110, {1885, 5, 1905, 25}},  {111, {1885, 5, 1905, 25}},  {112, {1885, 5, 1905, 25}},
        {113, {1885, 5, 1905, 25}},  {117, {1757, 10, 1830, 35}}, {114, {1677, 10, 1750, 35}},
        {115, {1597, 10, 1670, 35}}, {116, {1517, 10, 1590, 35}},
    };
    EXPECT_EQ(ById(buttons), expected);
    // Where they overlap, the lowest id is the one found.
    EXPECT_EQ(ButtonAt(buttons, {1890, 10}), kCloseButton);
}

TEST(FrameLayout, ButtonAtExcludesRightAndBottomEdges)
{
    const CaptionButtons buttons = CaptionButtonRects(800);
    struct Case {
        Point pt;
        int id;
    };
    const Case cases[] = {
        {{775, 5}, 110},  // top-left corner is inside
        {{794, 24}, 110},
        {{795, 10}, -1},  // right edge
        {{780, 25}, -1},  // bottom edge
        {{765, 10}, -1},  // gap right of 111
        {{764, 10}, 111},
        {{689, 24}, 113},
        {{689, 25}, 117},  // 113's bottom edge is 117's top row
        {{690, 30}, -1},
        {{630, 30}, 117},  // shared edge: the right-hand button owns it
        {{629, 30}, 114},
        {{450, 41}, 116},
        {{450, 42}, -1},
        {{449, 30}, -1},
        {{100, 30}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ButtonAt(buttons, c.pt), c.id) << c.pt.x << "," << c.pt.y;
}

TEST(FrameLayout, NarrowWindowStillFindsTextButtonsAtNegativeX)
{
    const CaptionButtons buttons = CaptionButtonRects(200);
    struct Case {
        Point pt;
        int id;
    };
    const Case cases[] = {
        {{-151, 30}, -1}, {{-150, 25}, 116}, {{-91, 41}, 116}, {{-90, 30}, 115},
        {{-31, 30}, 115}, {{-30, 30}, 114}, {{0, 30}, 114},   {{30, 30}, 117},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ButtonAt(buttons, c.pt), c.id) << c.pt.x << "," << c.pt.y;
}

TEST(FrameLayout, HitTestReportsWindowButtonsAndTheIconOnly)
{
    const CaptionButtons buttons = CaptionButtonRects(800);
    const Rect icon = IconRect({16, 16});
    EXPECT_EQ(icon, (Rect{15, 13, 31, 29}));
    EXPECT_EQ(IconRect({20, 24}), (Rect{15, 13, 35, 37}));

    struct Case {
        const char* what;
        Point pt;
        std::optional<int> hit;
    };
    const Case cases[] = {
        {"close", {780, 10}, 20},
        {"maximize", {750, 10}, 9},
        {"minimize", {720, 10}, 8},
        {"boss", {690, 10}, std::nullopt},
        {"forum", {600, 30}, std::nullopt},
        {"settings", {650, 30}, std::nullopt},
        {"icon", {15, 13}, 3},
        {"icon's last pixel", {30, 28}, 3},
        {"right of the icon", {31, 20}, std::nullopt},
        {"caption", {300, 20}, std::nullopt},
        {"client", {300, 300}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int button = ButtonAt(buttons, c.pt);
        EXPECT_EQ(CaptionHitCode(button, Contains(icon, c.pt)), c.hit);
    }
    // A button over the icon would win (a narrow window).
    EXPECT_EQ(CaptionHitCode(kCloseButton, true), 20);
    EXPECT_EQ(CaptionHitCode(kForumButton, true), std::nullopt);
}

TEST(FrameLayout, CaptionAndSizingBordersGoToThePlatform)
{
    struct Case {
        int hit;
        bool platform;
    };
    const Case cases[] = {
        {1, false},  {2, true},   {3, false},  {8, false},  {9, false},
        {10, true},  {13, true},  {17, true},  {18, false}, {20, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlatformDragsOrSizes(c.hit), c.platform) << c.hit;
}

TEST(FrameLayout, SkinIsCutIntoEightPiecesInDrawingOrder)
{
    const std::array<SkinPiece, 8> expected{{
        {{0, 1039, 1920, 1}, {55, 714, 1, 1}},      // bottom border
        {{1865, 985, 55, 55}, {858, 660, 55, 55}},  // bottom-right corner
        {{0, 985, 55, 55}, {0, 660, 55, 55}},       // bottom-left corner
        {{0, 55, 1, 930}, {0, 55, 1, 1}},           // left border
        {{1919, 55, 1, 930}, {912, 55, 1, 1}},      // right border
        {{0, 0, 1920, 55}, {50, 0, 813, 55}},       // caption band
        {{0, 0, 50, 55}, {0, 0, 50, 55}},           // caption left end
        {{1870, 0, 50, 55}, {863, 0, 50, 55}},      // caption right end
    }};
    const auto pieces = SkinPieces(1920, 1040, kCaptionHeight, kBorderWidth, 913, 715);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(pieces[i], expected[i]) << "piece " << i + 1;
}

TEST(FrameLayout, DoubleClickBandIsTheTopCaptionHeightOfTheWindow)
{
    struct Case {
        Point pt;
        bool in;
    };
    const Case cases[] = {
        {{0, 0}, true},    {{799, 54}, true},  {{780, 10}, true},  // over the close button too
        {{0, 55}, false},  {{800, 10}, false}, {{-1, 10}, false}, {{10, -1}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InCaptionBand(c.pt, 800, kCaptionHeight), c.in) << c.pt.x << "," << c.pt.y;
}

}  // namespace

namespace {

TEST(FrameLayout, TheBandBelowThePlatformsCaptionIsCaption)
{
    using gameframe::BandHitCode;
    EXPECT_EQ(BandHitCode(gameframe::kHitNowhere, true), gameframe::kHitCaption);
    EXPECT_EQ(BandHitCode(gameframe::kHitNowhere, false), gameframe::kHitNowhere);
    // What the platform does know stays its own: a border, the client area.
    EXPECT_EQ(BandHitCode(13 /* top border */, true), 13);
    EXPECT_EQ(BandHitCode(1 /* client */, false), 1);
}

}  // namespace
