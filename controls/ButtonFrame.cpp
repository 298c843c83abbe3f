#include "controls/ButtonFrame.h"

int ChooseFrame(bool disabled, bool pressed, bool hovered, int frameCount) noexcept
{
    if (disabled && frameCount > kFrameDisabled)
        return kFrameDisabled;
    if (pressed && frameCount > kFramePressed)
        return kFramePressed;
    if (hovered && frameCount > kFrameHover)
        return kFrameHover;
    return kFrameNormal;
}

Rect FrameSource(int imageWidth, int imageHeight, int frameCount, int frame) noexcept
{
    if (frameCount <= 0)
        return {};
    const int width = imageWidth / frameCount;
    return {frame * width, 0, frame * width + width, imageHeight};
}
