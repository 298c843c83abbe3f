#include "controls/ImageCache_win.h"

#include <objidl.h>


#include "platform/Com_win.h"
#include "platform/Framework_win.h"
#include "platform/MemoryStream_win.h"
#include "platform/ResourceBytes_win.h"
#include "platform/player/Sprite_win.h"

namespace {

// A stream over a copy of the resource's bytes.
ComPtr<IStream> ResourceStream(UINT id, const wchar_t* type)
{
    std::span<const uint8_t> bytes = ResourceBytes(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), type);
    return bytes.empty() ? nullptr : StreamOnCopy(bytes);
}

}  // namespace

bool LoadBitmapFromResource(UINT id, const wchar_t* type, std::unique_ptr<Gdiplus::Bitmap>* out)
{
    ImageCache::Instance();  // GDI+ runs from the cache's creation on
    ComPtr<IStream> stream = ResourceStream(id, type);
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
    std::span<const uint8_t> bytes = ResourceBytes(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), type);
    if (bytes.empty())
        return false;
    static GdiplusSession gdiplus;  // started on first use, for the process
    // An undecodable picture leaves the image empty, which draws nothing.
    image.sprite_ = LoadSprite(bytes);
    return true;
}

CImage::CImage() = default;
CImage::~CImage() = default;
void CImage::Destroy() { sprite_.reset(); }
int CImage::Width() const { return sprite_ ? sprite_->Width() : 0; }
int CImage::Height() const { return sprite_ ? sprite_->Height() : 0; }

BOOL CImage::Draw(HDC dc, int x, int y, int cx, int cy) const
{
    if (!sprite_)
        return FALSE;
    sprite_->DrawOver(dc, x, y, cx, cy);
    return TRUE;
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
