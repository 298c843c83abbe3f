#pragma once
// The "show all" placement of the stage in the control's area: the whole
// stage, aspect kept, centred. Maps stage pixels to device pixels for drawing
// and device points back to stage pixels for the pointer.
#include <cstdint>
#include <optional>

#include "platform/Geometry.h"

namespace movie {

struct StageTransform {
    double scale = 0;
    double dx = 0;
    double dy = 0;

    // Nothing for an empty stage or an area without room.
    static std::optional<StageTransform> ShowAll(const Rect& area, uint32_t stageWidth, uint32_t stageHeight);

    // A stage rectangle (pixels, fractional) on the device, edges rounded.
    Rect ToDevice(double x, double y, double w, double h) const;
    // A device point in stage pixels, truncated toward zero.
    Point ToStage(int32_t x, int32_t y) const;
};

}  // namespace movie
