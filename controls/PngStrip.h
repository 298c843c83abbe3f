#pragma once
// Which part of a PNG button's strip shows for its state. The strip is cut
// into equal columns by integer division, and the last column reaches to
// the strip's right edge, so it also takes the remainder.
#include <optional>

#include "platform/Geometry.h"

namespace pngstrip {

// The button's looks.
constexpr int kNormal = 1;
constexpr int kHover = 2;
constexpr int kPressed = 3;
constexpr int kDisabled = 4;

// The source rectangle of the look in a w by h strip of frameCount frames;
// nothing when that look has no frame (disabled with three frames) or the
// count or state is not one of the strip's.
std::optional<Rect> Frame(int width, int height, int frameCount, int state) noexcept;

// The button's size for one frame; nothing for a count the strip does not
// know.
std::optional<Size> FrameSize(int width, int height, int frameCount) noexcept;

}  // namespace pngstrip
