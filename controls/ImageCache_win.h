#pragma once
// Pictures carried in the executable as resources of type "PNG": decoded
// with GDI+, once per name for the process (the game window's skin), or
// uncached for the caller to own.
#include <windows.h>
#include <ole2.h>  // before GDI+, which needs the COM types
#include <gdiplus.h>

#include <map>
#include <memory>
#include <string>

class Sprite;

// Decodes one resource into a new bitmap the caller owns; false when the
// resource is missing or cannot be loaded.
bool LoadBitmapFromResource(UINT id, const wchar_t* type, std::unique_ptr<Gdiplus::Bitmap>* out);

// A decoded picture as a 32-bit premultiplied device-independent bitmap,
// for drawing onto a window's device context with its alpha.
class CImage {
public:
    CImage();
    ~CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;
    bool IsNull() const { return !sprite_; }
    int Width() const;
    int Height() const;
    void Destroy();
    // Scaled to the given place, blended by the picture's alpha.
    BOOL Draw(HDC dc, int x, int y, int cx, int cy) const;

private:
    friend bool LoadImageFromResource(CImage& image, UINT id, const wchar_t* type);
    std::unique_ptr<Sprite> sprite_;
};

// Empties the image, then decodes the resource into it; false when the
// resource is missing or cannot be loaded (true, and an empty image, when
// only the decoding failed).
bool LoadImageFromResource(CImage& image, UINT id, const wchar_t* type);

// The named pictures of the process. Created on first use (starting GDI+,
// which it never shuts down) and never destroyed; UI thread only.
class ImageCache {
public:
    static ImageCache& Instance();

    void SetBaseDirectory(const std::string& directory) { m_strBaseDirectory = directory; }
    const std::string& BaseDirectory() const { return m_strBaseDirectory; }
    // The bitmap kept under name, decoded from the resource on the first
    // request; later requests for the name do not look at type or id. Null
    // when the resource cannot be loaded (and nothing is kept then).
    Gdiplus::Bitmap* GetImage(const std::string& name, const wchar_t* type, UINT id);

private:
    ImageCache();
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    std::map<std::string, std::unique_ptr<Gdiplus::Bitmap>> m_images;
    std::string m_strBaseDirectory;
    ULONG_PTR m_gdiplusToken = 0;
};
