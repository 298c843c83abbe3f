#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "platform/Geometry.h"

// The launcher movie: everything the built-in player shows and does, as data.
// The file layout is in README.md beside this header.
namespace movie {

constexpr uint32_t kFormatVersion = 1;
constexpr int32_t kTwipsPerPixel = 20;

// Limits a file must respect; anything beyond them is rejected as malformed.
constexpr size_t kMaxNameLength = 32;       // instance and marker names
constexpr size_t kMaxCommandLength = 64;    // command words, link targets
constexpr size_t kMaxTextLength = 4096;     // command arguments, URLs
constexpr size_t kMaxButtons = 64;
constexpr size_t kMaxMarkers = 16;
constexpr size_t kMaxStartCommands = 16;
constexpr uint32_t kMaxStagePixels = 8192;  // stage and picture width or height
constexpr int32_t kMaxCoordinateTwips = 1 << 24;

// A rectangle in twips (1/20 pixel), so that places such as 609.8 are exact.
struct TwipRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;  // never negative in a parsed movie
    int32_t h = 0;
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// A PNG file as stored; width and height are read from its IHDR chunk so the
// player can place it before decoding.
struct Png {
    std::vector<uint8_t> bytes;
    uint32_t width = 0;
    uint32_t height = 0;
    friend bool operator==(const Png&, const Png&) = default;
};

// Sent to the host as an FSCommand event.
struct FsCommand {
    std::string command;
    std::string argument;
    friend bool operator==(const FsCommand&, const FsCommand&) = default;
};

// Opened by the player itself in the system's browser, like navigateToURL.
struct OpenUrl {
    std::string url;
    std::string target;  // "_blank"
    friend bool operator==(const OpenUrl&, const OpenUrl&) = default;
};

using Action = std::variant<FsCommand, OpenUrl>;

// A button shows `up` normally and `over` while hovered or pressed; its hit
// area is `place`. Looks are drawn scaled to `place`.
struct Button {
    std::string name;
    TwipRect place;
    Png up;
    Png over;
    Action action;
    friend bool operator==(const Button&, const Button&) = default;
};

// A named, invisible area (the web page's place).
struct Marker {
    std::string name;
    TwipRect place;
    friend bool operator==(const Marker&, const Marker&) = default;
};

struct Movie {
    uint32_t stageWidth = 0;   // pixels
    uint32_t stageHeight = 0;  // pixels
    uint32_t frameRate = 0;    // frames per second
    int32_t pictureX = 0;      // twips
    int32_t pictureY = 0;      // twips
    Png picture;               // drawn first, at its own pixel size
    std::vector<Button> buttons;  // drawn in this order over the picture
    std::vector<Marker> markers;
    std::vector<FsCommand> startCommands;  // sent in this order after loading
    friend bool operator==(const Movie&, const Movie&) = default;
};

// Parses a movie file. Returns nothing for any malformed input: wrong magic,
// unknown version, truncation, lengths or counts beyond the buffer or the
// limits above, bad names, texts with NUL bytes, looks that are not PNG,
// records of unknown kind, a missing or repeated picture, trailing bytes.
// Never reads outside `bytes`.
std::optional<Movie> ParseMovie(std::span<const uint8_t> bytes);

// Writes a movie in the format ParseMovie reads. The build's generator writes
// the same layout from its description; this one serves tests and tools.
std::vector<uint8_t> WriteMovie(const Movie& movie);

// The host hands the movie over as an in-memory stream: the magic 0x55665566,
// the length n, then n bytes of movie (little-endian 32-bit words). Returns
// those n bytes, or nothing when the header is wrong or n runs past the data.
constexpr uint32_t kEmbeddedStreamMagic = 0x55665566;
std::optional<std::span<const uint8_t>> UnwrapEmbeddedStream(std::span<const uint8_t> stream);

// A place in whole stage pixels: each edge rounded to the nearest pixel
// (halves up). The player draws a look into this rectangle and hit-tests
// against it, so what is seen and what is clicked are the same pixels.
Rect ToPixels(const TwipRect& place);

}  // namespace movie
