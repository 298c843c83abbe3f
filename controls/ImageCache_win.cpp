#include "controls/ImageCache_win.h"

#include <objidl.h>

#include <cstring>

#include "platform/Com_win.h"
#include "platform/Framework_win.h"
#include "platform/ResourceBytes_win.h"

namespace {

// A stream over a copy of the resource's bytes.
ComPtr<IStream> StreamOnCopy(UINT id, const wchar_t* type)
{
    std::span<const uint8_t> bytes = ResourceBytes(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), type);
    if (bytes.empty())
        return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory)
        return nullptr;
    void* p = GlobalLock(memory);
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    ComPtr<IStream> stream;
    // The stream frees the block when it goes.
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    return stream;
}

}  // namespace

bool LoadBitmapFromResource(UINT id, const wchar_t* type, std::unique_ptr<Gdiplus::Bitmap>* out)
{
    ImageCache::Instance();  // GDI+ runs from the cache's creation on
    ComPtr<IStream> stream = StreamOnCopy(id, type);
    if (!stream || !out)
        return false;
    // A bitmap made from a stream may read it again at any time; a copy of
    // its pixels depends on nothing, so the stream and its memory can go.
    Gdiplus::Bitmap decoded(stream.Get());
    out->reset();
    if (decoded.GetLastStatus() != Gdiplus::Ok)
        return true;  // undecodable: an empty picture, which draws nothing
    const INT width = static_cast<INT>(decoded.GetWidth());
    const INT height = static_cast<INT>(decoded.GetHeight());
    auto copy = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(copy.get());
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        graphics.DrawImage(&decoded, 0, 0, width, height);
    }
    if (copy->GetLastStatus() == Gdiplus::Ok)
        *out = std::move(copy);
    return true;
}

bool LoadImageFromResource(CImage& image, UINT id, const wchar_t* type)
{
    image.Destroy();
    ComPtr<IStream> stream = StreamOnCopy(id, type);
    if (!stream)
        return false;
    static GdiplusSession gdiplus;  // started on first use, for the process
    Gdiplus::Bitmap decoded(stream.Get());
    if (decoded.GetLastStatus() != Gdiplus::Ok)
        return true;
    const int width = static_cast<int>(decoded.GetWidth());
    const int height = static_cast<int>(decoded.GetHeight());
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, width, height);
    if (decoded.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return true;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) {
        for (int y = 0; y < height; ++y)
            std::memcpy(static_cast<uint8_t*>(bits) + static_cast<size_t>(y) * width * 4,
                        static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                        static_cast<size_t>(width) * 4);
        image.bitmap_.reset(dib);
        image.width_ = width;
        image.height_ = height;
    }
    decoded.UnlockBits(&data);
    return true;
}

BOOL CImage::Draw(HDC dc, int x, int y, int cx, int cy) const
{
    if (!bitmap_)
        return FALSE;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap_.get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const BOOL ok = AlphaBlend(dc, x, y, cx, cy, source, 0, 0, width_, height_, blend);
    SelectObject(source, old);
    DeleteDC(source);
    return ok;
}

ImageCache& ImageCache::Instance()
{
    static ImageCache* cache = new ImageCache;  // kept until the process ends
    return *cache;
}

ImageCache::ImageCache()
{
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok)
        m_gdiplusToken = 0;
}

Gdiplus::Bitmap* ImageCache::GetImage(const std::string& name, const wchar_t* type, UINT id)
{
    auto found = m_images.find(name);
    if (found != m_images.end())
        return found->second.get();
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    if (!LoadBitmapFromResource(id, type, &bitmap) || !bitmap)
        return nullptr;
    return m_images.emplace(name, std::move(bitmap)).first->second.get();
}
