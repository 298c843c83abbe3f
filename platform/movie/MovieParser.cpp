#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/movie/Movie.h"
#include "platform/movie/MovieFormat.h"

namespace movie {
namespace {

using namespace format;

// Reads little-endian fields from a span. Every read checks the remaining
// length first; after the first failure the reader stays failed.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> data) : data_(data) {}

    bool Ok() const { return ok_; }
    bool AtEnd() const { return ok_ && pos_ == data_.size(); }
    size_t Remaining() const { return data_.size() - pos_; }

    std::span<const uint8_t> Take(size_t n)
    {
        if (!ok_ || n > Remaining()) {
            ok_ = false;
            return {};
        }
        auto out = data_.subspan(pos_, n);
        pos_ += n;
        return out;
    }

    uint32_t U8() { return Int(1); }
    uint32_t U16() { return Int(2); }
    uint32_t U32() { return Int(4); }
    int32_t I32() { return static_cast<int32_t>(Int(4)); }

    void Fail() { ok_ = false; }

private:
    uint32_t Int(size_t n)
    {
        auto bytes = Take(n);
        uint32_t v = 0;
        for (size_t i = 0; i < bytes.size(); ++i)
            v |= uint32_t{bytes[i]} << (8 * i);
        return v;
    }

    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    bool ok_ = true;
};

bool IsNameChar(uint8_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// A name: 1-byte length, 1..kMaxNameLength identifier characters.
bool ReadName(Reader& r, std::string& out)
{
    const uint32_t n = r.U8();
    auto bytes = r.Take(n);
    if (!r.Ok() || n == 0 || n > kMaxNameLength || !std::all_of(bytes.begin(), bytes.end(), IsNameChar))
        return false;
    out.assign(bytes.begin(), bytes.end());
    return true;
}

// A text: 2-byte length, minLength..maxLength bytes, no NUL (the texts become
// C strings on the way to the host).
bool ReadText(Reader& r, std::string& out, size_t minLength, size_t maxLength)
{
    const uint32_t n = r.U16();
    auto bytes = r.Take(n);
    if (!r.Ok() || n < minLength || n > maxLength || std::find(bytes.begin(), bytes.end(), 0) != bytes.end())
        return false;
    out.assign(bytes.begin(), bytes.end());
    return true;
}

uint32_t BigEndian32(std::span<const uint8_t> b)
{
    return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

// A PNG: 4-byte length, then a file that starts with the signature and an
// IHDR chunk whose size fits the stage limits.
bool ReadPng(Reader& r, Png& out)
{
    const uint32_t n = r.U32();
    auto bytes = r.Take(n);
    constexpr size_t kIhdrEnd = 8 + 8 + 13;  // signature, chunk length and type, IHDR data
    if (!r.Ok() || bytes.size() < kIhdrEnd)
        return false;
    if (std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) != 0)
        return false;
    if (BigEndian32(bytes.subspan(8, 4)) != 13 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
        return false;
    const uint32_t width = BigEndian32(bytes.subspan(16, 4));
    const uint32_t height = BigEndian32(bytes.subspan(20, 4));
    if (width == 0 || height == 0 || width > kMaxStagePixels || height > kMaxStagePixels)
        return false;
    out.bytes.assign(bytes.begin(), bytes.end());
    out.width = width;
    out.height = height;
    return true;
}

bool CoordinateInRange(int32_t v)
{
    return v >= -kMaxCoordinateTwips && v <= kMaxCoordinateTwips;
}

bool ReadPlace(Reader& r, TwipRect& out)
{
    out.x = r.I32();
    out.y = r.I32();
    out.w = r.I32();
    out.h = r.I32();
    return r.Ok() && CoordinateInRange(out.x) && CoordinateInRange(out.y) && out.w >= 0 &&
           out.w <= kMaxCoordinateTwips && out.h >= 0 && out.h <= kMaxCoordinateTwips;
}

bool ReadAction(Reader& r, Action& out)
{
    switch (r.U8()) {
    case kActionCommand: {
        FsCommand c;
        if (!ReadText(r, c.command, 1, kMaxCommandLength) || !ReadText(r, c.argument, 0, kMaxTextLength))
            return false;
        out = std::move(c);
        return true;
    }
    case kActionOpenUrl: {
        OpenUrl u;
        if (!ReadText(r, u.url, 1, kMaxTextLength) || !ReadText(r, u.target, 0, kMaxCommandLength))
            return false;
        out = std::move(u);
        return true;
    }
    default:
        return false;
    }
}

bool ReadButton(Reader& r, Button& out)
{
    return ReadName(r, out.name) && ReadPlace(r, out.place) && ReadPng(r, out.up) && ReadPng(r, out.over) &&
           ReadAction(r, out.action);
}

template <class T>
bool NameTaken(const std::vector<T>& items, const std::string& name)
{
    return std::any_of(items.begin(), items.end(), [&](const T& item) { return item.name == name; });
}

// One record's payload, which must be read to its last byte.
bool ReadRecord(uint32_t kind, Reader& payload, Movie& movie, bool& havePicture)
{
    switch (kind) {
    case kPicture:
        if (havePicture)
            return false;
        havePicture = true;
        movie.pictureX = payload.I32();
        movie.pictureY = payload.I32();
        if (!CoordinateInRange(movie.pictureX) || !CoordinateInRange(movie.pictureY))
            return false;
        return ReadPng(payload, movie.picture);
    case kButton: {
        if (movie.buttons.size() == kMaxButtons)
            return false;
        Button b;
        if (!ReadButton(payload, b) || NameTaken(movie.buttons, b.name))
            return false;
        movie.buttons.push_back(std::move(b));
        return true;
    }
    case kMarker: {
        if (movie.markers.size() == kMaxMarkers)
            return false;
        Marker m;
        if (!ReadName(payload, m.name) || !ReadPlace(payload, m.place) || NameTaken(movie.markers, m.name))
            return false;
        movie.markers.push_back(std::move(m));
        return true;
    }
    case kStartCommand: {
        if (movie.startCommands.size() == kMaxStartCommands)
            return false;
        FsCommand c;
        if (!ReadText(payload, c.command, 1, kMaxCommandLength) || !ReadText(payload, c.argument, 0, kMaxTextLength))
            return false;
        movie.startCommands.push_back(std::move(c));
        return true;
    }
    default:
        return false;
    }
}

}  // namespace

std::optional<Movie> ParseMovie(std::span<const uint8_t> bytes)
{
    Reader r(bytes);
    auto magic = r.Take(sizeof kMagic);
    if (!r.Ok() || std::memcmp(magic.data(), kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    if (r.U16() != kFormatVersion)
        return std::nullopt;
    Movie movie;
    movie.stageWidth = r.U16();
    movie.stageHeight = r.U16();
    movie.frameRate = r.U16();
    if (!r.Ok() || movie.stageWidth == 0 || movie.stageWidth > kMaxStagePixels || movie.stageHeight == 0 ||
        movie.stageHeight > kMaxStagePixels || movie.frameRate == 0 || movie.frameRate > kMaxFrameRate)
        return std::nullopt;

    bool havePicture = false;
    for (;;) {
        const uint32_t kind = r.U8();
        const uint32_t length = r.U32();
        Reader payload(r.Take(length));
        if (!r.Ok())
            return std::nullopt;
        if (kind == kEnd) {
            if (length != 0 || !r.AtEnd() || !havePicture)
                return std::nullopt;
            return movie;
        }
        if (!ReadRecord(kind, payload, movie, havePicture) || !payload.AtEnd())
            return std::nullopt;
    }
}

std::optional<std::span<const uint8_t>> UnwrapEmbeddedStream(std::span<const uint8_t> stream)
{
    Reader r(stream);
    const uint32_t magic = r.U32();
    const uint32_t length = r.U32();
    if (!r.Ok() || magic != kEmbeddedStreamMagic || length > r.Remaining())
        return std::nullopt;
    return stream.subspan(8, length);
}

Rect ToPixels(const TwipRect& place)
{
    // Nearest pixel, halves up, for negative places too (floor division).
    auto round = [](int64_t twips) {
        const int64_t shifted = twips + kTwipsPerPixel / 2;
        const int64_t q = shifted / kTwipsPerPixel;
        return static_cast<int32_t>((shifted % kTwipsPerPixel < 0) ? q - 1 : q);
    };
    return Rect{round(place.x), round(place.y), round(int64_t{place.x} + place.w),
                round(int64_t{place.y} + place.h)};
}

}  // namespace movie
