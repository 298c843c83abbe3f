#include <string_view>

#include "platform/movie/Movie.h"
#include "platform/movie/MovieFormat.h"

namespace movie {
namespace {

using namespace format;

class Writer {
public:
    void U8(uint32_t v) { out_.push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v) { Int(v, 2); }
    void U32(uint32_t v) { Int(v, 4); }
    void I32(int32_t v) { Int(static_cast<uint32_t>(v), 4); }
    void Bytes(std::span<const uint8_t> b) { out_.insert(out_.end(), b.begin(), b.end()); }
    void Name(std::string_view s)
    {
        U8(static_cast<uint32_t>(s.size()));
        Bytes({reinterpret_cast<const uint8_t*>(s.data()), s.size()});
    }
    void Text(std::string_view s)
    {
        U16(static_cast<uint32_t>(s.size()));
        Bytes({reinterpret_cast<const uint8_t*>(s.data()), s.size()});
    }
    void Png(const movie::Png& png)
    {
        U32(static_cast<uint32_t>(png.bytes.size()));
        Bytes(png.bytes);
    }
    void Place(const TwipRect& r)
    {
        I32(r.x);
        I32(r.y);
        I32(r.w);
        I32(r.h);
    }
    // Appends a record of `kind` whose payload `fill` writes.
    template <class Fill>
    void Record(RecordKind kind, Fill fill)
    {
        Writer payload;
        fill(payload);
        U8(kind);
        U32(static_cast<uint32_t>(payload.out_.size()));
        Bytes(payload.out_);
    }
    std::vector<uint8_t> Take() { return std::move(out_); }

private:
    void Int(uint32_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }

    std::vector<uint8_t> out_;
};

}  // namespace

std::vector<uint8_t> WriteMovie(const Movie& movie)
{
    Writer w;
    w.Bytes(kMagic);
    w.U16(kFormatVersion);
    w.U16(movie.stageWidth);
    w.U16(movie.stageHeight);
    w.U16(movie.frameRate);
    w.Record(kPicture, [&](Writer& p) {
        p.I32(movie.pictureX);
        p.I32(movie.pictureY);
        p.Png(movie.picture);
    });
    for (const Button& b : movie.buttons) {
        w.Record(kButton, [&](Writer& p) {
            p.Name(b.name);
            p.Place(b.place);
            p.Png(b.up);
            p.Png(b.over);
            if (const auto* c = std::get_if<FsCommand>(&b.action)) {
                p.U8(kActionCommand);
                p.Text(c->command);
                p.Text(c->argument);
            } else {
                const auto& u = std::get<OpenUrl>(b.action);
                p.U8(kActionOpenUrl);
                p.Text(u.url);
                p.Text(u.target);
            }
        });
    }
    for (const Marker& m : movie.markers) {
        w.Record(kMarker, [&](Writer& p) {
            p.Name(m.name);
            p.Place(m.place);
        });
    }
    for (const FsCommand& c : movie.startCommands) {
        w.Record(kStartCommand, [&](Writer& p) {
            p.Text(c.command);
            p.Text(c.argument);
        });
    }
    w.Record(kEnd, [](Writer&) {});
    return w.Take();
}

}  // namespace movie
