#pragma once
// The geometry of the game window's self-drawn frame: where the caption
// buttons sit, which of them a point hits, what the hit test reports, and
// how the skin picture is cut into the frame. All rectangles and points are
// in window coordinates (origin at the window's top-left corner). Portable
// so that the layout is tested without a window; the shell gathers the
// window's size and applies the results.
#include <array>
#include <optional>
#include <span>

#include "platform/Geometry.h"

namespace gameframe {

// Frame metrics.
constexpr int kCaptionHeight = 55;
constexpr int kBorderWidth = 1;
// The client area starts this much lower than the platform's own caption
// would put it (added to the top of the proposed rectangle).
constexpr int kClientTopOffset = 25;
// The window can never be shrunk past its caption and bottom border.
constexpr int kMinTrackHeight = kCaptionHeight + kBorderWidth;

// Caption button ids; also the command ids posted when a click completes.
constexpr int kCloseButton = 110;
constexpr int kMaximizeButton = 111;
constexpr int kMinimizeButton = 112;
constexpr int kBossButton = 113;
constexpr int kForumButton = 114;
constexpr int kHomeButton = 115;
constexpr int kRefreshButton = 116;
constexpr int kBossKeySettingsButton = 117;
constexpr int kButtonCount = 8;
constexpr int kNoButton = -1;

struct CaptionButton {
    int id = kNoButton;
    Rect rect;
    friend bool operator==(const CaptionButton&, const CaptionButton&) = default;
};

// The eight buttons in ascending id order (110 first).
using CaptionButtons = std::array<CaptionButton, kButtonCount>;

// The rectangles every size change gives the buttons, for window width W:
// the four system buttons in a row at the right end of the caption, the four
// text buttons in a row below and left of them. In a window narrower than
// 350 pixels the leftmost text buttons lie at negative x.
CaptionButtons CaptionButtonRects(int windowWidth) noexcept;

// The provisional rectangles made at non-client creation, before the first
// size change places the buttons: the system buttons stacked on one spot,
// the text buttons 80 pixels apart leftwards from 117.
CaptionButtons InitialButtonRects(int windowWidth) noexcept;

// Right and bottom edges excluded, as the platform's PtInRect.
bool Contains(const Rect& rect, Point pt) noexcept;

// The smallest id among the buttons whose rectangle contains the point
// (the walk in ascending id order stops at it), or kNoButton. Provisional
// rectangles overlap, so the order matters.
int ButtonAt(std::span<const CaptionButton> buttons, Point pt) noexcept;

// Non-client hit codes the frame reports itself (the platform's HT* values).
constexpr int kHitCaption = 2;
constexpr int kHitSysMenu = 3;
constexpr int kHitMinButton = 8;
constexpr int kHitMaxButton = 9;
constexpr int kHitLeft = 10;
constexpr int kHitBottomRight = 17;
constexpr int kHitClose = 20;

// The hit code for a point over `button` (or kNoButton) and, when no button
// is there, whether it lies in the icon rectangle. The three window buttons
// report their own codes so the platform treats them as such; nothing means
// the platform's default hit test decides (caption, sizing borders, client),
// which keeps dragging and sizing the platform's.
std::optional<int> CaptionHitCode(int button, bool inIcon) noexcept;

// Whether a non-client press or move with this hit code also goes to the
// platform: the caption drags the window, the borders size it.
bool PlatformDragsOrSizes(int hitCode) noexcept;

// The small icon's rectangle at the caption's left, from the platform's
// small-icon size; a press there opens the system menu.
Rect IconRect(Size smallIcon) noexcept;

// A rectangle given as origin and size, as the picture drawing takes it.
struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Box&, const Box&) = default;
};

struct SkinPiece {
    Box dest;    // window coordinates
    Box source;  // skin picture pixels; stretched when its size differs
    friend bool operator==(const SkinPiece&, const SkinPiece&) = default;
};

// The skin picture (iw by ih) cut into the frame of a W by H window with
// caption height C and border width B, in drawing order: bottom border,
// bottom-right corner, bottom-left corner, left border, right border,
// caption band, then the caption's two 50-pixel ends unscaled over the
// band's stretched ends. Later pieces cover earlier ones.
std::array<SkinPiece, 8> SkinPieces(int windowWidth, int windowHeight, int captionHeight, int borderWidth,
                                    int imageWidth, int imageHeight) noexcept;

// Whether a double click at this point toggles maximized and restored: it
// lies in the top captionHeight pixels of the window, buttons included.
bool InCaptionBand(Point pt, int windowWidth, int captionHeight) noexcept;

inline void PrintTo(const Box& b, std::ostream* os)
{
    *os << "(" << b.x << ", " << b.y << " " << b.width << "x" << b.height << ")";
}
inline void PrintTo(const SkinPiece& p, std::ostream* os)
{
    PrintTo(p.dest, os);
    *os << " <- ";
    PrintTo(p.source, os);
}
inline void PrintTo(const CaptionButton& b, std::ostream* os)
{
    *os << b.id << " ";
    ::PrintTo(b.rect, os);
}

}  // namespace gameframe

namespace gameframe {

// The platform knows only its own caption, which is shorter than the band
// the frame draws: below it, the band would answer "nowhere" and could be
// neither dragged nor clicked. There the band is caption.
constexpr int kHitNowhere = 0;
int BandHitCode(int platformCode, bool inCaptionBand) noexcept;

}  // namespace gameframe
