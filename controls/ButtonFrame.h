#pragma once
// Which frame of a button's picture strip shows, and where that frame lies
// in the strip. A strip holds its frames side by side, left to right, in
// the order normal, hover, pressed, disabled; a strip may stop after any of
// them, and a state without its frame shows an earlier one.
#include "platform/Geometry.h"

constexpr int kFrameNormal = 0;
constexpr int kFrameHover = 1;
constexpr int kFramePressed = 2;
constexpr int kFrameDisabled = 3;

// Disabled beats pressed, which beats hovered; each only when the strip has
// that frame, else the next state down is tried.
int ChooseFrame(bool disabled, bool pressed, bool hovered, int frameCount) noexcept;

// The frame's rectangle in the strip's pixels. Frames are imageWidth /
// frameCount wide, rounded down, so the rightmost columns of a strip whose
// width is not a multiple of the count never show. A count of zero or less
// gives an empty rectangle.
Rect FrameSource(int imageWidth, int imageHeight, int frameCount, int frame) noexcept;
