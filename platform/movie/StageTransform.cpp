#include "platform/movie/StageTransform.h"

#include <algorithm>
#include <cmath>

namespace movie {

std::optional<StageTransform> StageTransform::ShowAll(const Rect& area, uint32_t stageWidth, uint32_t stageHeight)
{
    if (stageWidth == 0 || stageHeight == 0)
        return std::nullopt;
    const double w = double(area.right) - area.left;
    const double h = double(area.bottom) - area.top;
    const double s = std::min(w / stageWidth, h / stageHeight);
    if (!(s > 0))
        return std::nullopt;
    return StageTransform{s, area.left + (w - stageWidth * s) / 2, area.top + (h - stageHeight * s) / 2};
}

Rect StageTransform::ToDevice(double x, double y, double w, double h) const
{
    return Rect{static_cast<int32_t>(std::lround(dx + x * scale)), static_cast<int32_t>(std::lround(dy + y * scale)),
                static_cast<int32_t>(std::lround(dx + (x + w) * scale)),
                static_cast<int32_t>(std::lround(dy + (y + h) * scale))};
}

Point StageTransform::ToStage(int32_t x, int32_t y) const
{
    return Point{static_cast<int32_t>((x - dx) / scale), static_cast<int32_t>((y - dy) / scale)};
}

}  // namespace movie
