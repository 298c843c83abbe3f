#include "controls/PngStrip.h"

namespace pngstrip {

std::optional<Rect> Frame(int width, int height, int frameCount, int state) noexcept
{
    if (state < kNormal || state > kDisabled)
        return std::nullopt;
    if (frameCount == 1)
        return Rect{0, 0, width, height};
    if (frameCount != 3 && frameCount != 4)
        return std::nullopt;
    const int index = state - 1;
    if (index >= frameCount)
        return std::nullopt;
    const int column = width / frameCount;
    const int left = index * column;
    const int right = index == frameCount - 1 ? width : left + column;
    return Rect{left, 0, right, height};
}

std::optional<Size> FrameSize(int width, int height, int frameCount) noexcept
{
    if (frameCount == 1)
        return Size{width, height};
    if (frameCount == 3 || frameCount == 4)
        return Size{width / frameCount, height};
    return std::nullopt;
}

}  // namespace pngstrip
