// Picture decoding: a movie's picture bytes into a premultiplied bitmap.
#include "platform/player/Sprite_win.h"

#include "platform/MemoryStream_win.h"

#include <ole2.h>
#include <gdiplus.h>

#include <cstring>
#include <utility>

#include "platform/Com_win.h"

Sprite::Sprite(ScopedBitmap bitmap, ScopedMemoryDc dc, int w, int h)
    : bitmap_(std::move(bitmap)), dc_(std::move(dc)), width_(w), height_(h)
{
    previous_ = SelectObject(dc_.Get(), bitmap_.Get());
}

Sprite::~Sprite() { SelectObject(dc_.Get(), previous_); }

void Sprite::DrawOver(HDC target, int x, int y, int w, int h) const
{
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(target, x, y, w, h, dc_.Get(), 0, 0, width_, height_, blend);
}

std::unique_ptr<Sprite> LoadSprite(std::span<const uint8_t> bytes)
{
    if (bytes.empty())
        return nullptr;
    const ComPtr<IStream> stream = StreamOnCopy(bytes);
    if (!stream)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    const int w = static_cast<int>(bitmap->GetWidth());
    const int h = static_cast<int>(bitmap->GetHeight());
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ScopedBitmap dib(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedMemoryDc dc(dib ? CreateCompatibleDC(nullptr) : nullptr);
    if (!dc)
        return nullptr;
    Gdiplus::Rect all(0, 0, w, h);
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(w);
    data.Height = static_cast<UINT>(h);
    data.Stride = w * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = bits;
    // Decode straight into the DIB, premultiplied.
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppPARGB,
                         &data) != Gdiplus::Ok)
        return nullptr;
    bitmap->UnlockBits(&data);
    return std::make_unique<Sprite>(std::move(dib), std::move(dc), w, h);
}
