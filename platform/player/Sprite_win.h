#pragma once
// The movie's pictures decoded once into premultiplied bitmaps, ready to be
// composed over whatever a DC holds.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/Handles_win.h"

// A decoded look, premultiplied in a DIB section with a DC of its own, ready
// for AlphaBlend: composing over whatever the target holds is then one call,
// much cheaper per frame than drawing through GDI+.
class Sprite {
public:
    Sprite(ScopedBitmap bitmap, ScopedMemoryDc dc, int w, int h);
    // The bitmap leaves the DC before either is deleted.
    ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    void DrawOver(HDC target, int x, int y, int w, int h) const;
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    ScopedBitmap bitmap_;
    ScopedMemoryDc dc_;
    HGDIOBJ previous_ = nullptr;
    int width_;
    int height_;
};

// Decodes a picture file (any format GDI+ reads); nothing when the bytes are
// empty or do not decode. GDI+ must be running.
std::unique_ptr<Sprite> LoadSprite(std::span<const uint8_t> bytes);
