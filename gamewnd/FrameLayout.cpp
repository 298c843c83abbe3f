#include "gamewnd/FrameLayout.h"

namespace gameframe {

namespace {

// System buttons are 20 by 20, 10 pixels apart, 5 from the top and right.
constexpr int kSystemTop = 5, kSystemBottom = 25;
// Text buttons are 60 by 17, side by side, just below the system buttons.
constexpr int kTextTop = 25, kTextBottom = 42;

}  // namespace

CaptionButtons CaptionButtonRects(int w) noexcept
{
    return {{
        {kCloseButton, {w - 25, kSystemTop, w - 5, kSystemBottom}},
        {kMaximizeButton, {w - 55, kSystemTop, w - 35, kSystemBottom}},
        {kMinimizeButton, {w - 85, kSystemTop, w - 65, kSystemBottom}},
        {kBossButton, {w - 115, kSystemTop, w - 95, kSystemBottom}},
        {kForumButton, {w - 230, kTextTop, w - 170, kTextBottom}},
        {kHomeButton, {w - 290, kTextTop, w - 230, kTextBottom}},
        {kRefreshButton, {w - 350, kTextTop, w - 290, kTextBottom}},
        {kBossKeySettingsButton, {w - 170, kTextTop, w - 110, kTextBottom}},
    }};
}

CaptionButtons InitialButtonRects(int w) noexcept
{
    const Rect system{w - 35, 5, w - 15, 25};
    // 117 first, then each next text button one step further left.
    auto text = [w](int steps) { return Rect{w - 163 - 80 * steps, 10, w - 90 - 80 * steps, 35}; };
    return {{
        {kCloseButton, system},
        {kMaximizeButton, system},
        {kMinimizeButton, system},
        {kBossButton, system},
        {kForumButton, text(1)},
        {kHomeButton, text(2)},
        {kRefreshButton, text(3)},
        {kBossKeySettingsButton, text(0)},
    }};
}

bool Contains(const Rect& rect, Point pt) noexcept
{
    return pt.x >= rect.left && pt.x < rect.right && pt.y >= rect.top && pt.y < rect.bottom;
}

int ButtonAt(std::span<const CaptionButton> buttons, Point pt) noexcept
{
    int found = kNoButton;
    for (const CaptionButton& b : buttons) {
        if (Contains(b.rect, pt) && (found == kNoButton || b.id < found))
            found = b.id;
    }
    return found;
}

std::optional<int> CaptionHitCode(int button, bool inIcon) noexcept
{
    switch (button) {
    case kCloseButton:
        return kHitClose;
    case kMaximizeButton:
        return kHitMaxButton;
    case kMinimizeButton:
        return kHitMinButton;
    case kNoButton:
        return inIcon ? std::optional<int>(kHitSysMenu) : std::nullopt;
    default:
        return std::nullopt;
    }
}

bool PlatformDragsOrSizes(int hitCode) noexcept
{
    return hitCode == kHitCaption || (hitCode >= kHitLeft && hitCode <= kHitBottomRight);
}

Rect IconRect(Size smallIcon) noexcept
{
    return {15, 13, 15 + smallIcon.cx, 13 + smallIcon.cy};
}

std::array<SkinPiece, 8> SkinPieces(int w, int h, int c, int b, int iw, int ih) noexcept
{
    // The caption's ends are 50 pixels of the picture drawn as they are; the
    // band between them stretches. No clamping: a window shorter than two
    // caption heights gets negative border heights, drawn as such.
    constexpr int kEnd = 50;
    return {{
        {{0, h - b, w, b}, {c, ih - b, b, b}},
        {{w - c, h - c, c, c}, {iw - c, ih - c, c, c}},
        {{0, h - c, c, c}, {0, ih - c, c, c}},
        {{0, c, b, h - 2 * c}, {0, c, b, b}},
        {{w - b, c, b, h - 2 * c}, {iw - b, c, b, b}},
        {{0, 0, w, c}, {kEnd, 0, iw - 2 * kEnd, c}},
        {{0, 0, kEnd, c}, {0, 0, kEnd, c}},
        {{w - kEnd, 0, kEnd, c}, {iw - kEnd, 0, kEnd, c}},
    }};
}

bool InCaptionBand(Point pt, int windowWidth, int captionHeight) noexcept
{
    return Contains({0, 0, windowWidth, captionHeight}, pt);
}

}  // namespace gameframe

namespace gameframe {

int BandHitCode(int platformCode, bool inCaptionBand) noexcept
{
    return platformCode == kHitNowhere && inCaptionBand ? kHitCaption : platformCode;
}

}  // namespace gameframe
