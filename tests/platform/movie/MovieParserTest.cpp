#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "tests/platform/movie/MovieTestSupport.h"
#include "settings/Settings.h"
#include "platform/movie/Movie.h"

namespace {

using namespace movie;

std::optional<Movie> Parse(const std::vector<uint8_t>& bytes)
{
    return ParseMovie(bytes);
}

const Button& Named(const Movie& m, const std::string& name)
{
    auto it = std::find_if(m.buttons.begin(), m.buttons.end(), [&](const Button& b) { return b.name == name; });
    if (it == m.buttons.end())
        throw std::runtime_error("no button " + name);
    return *it;
}

constexpr TwipRect Px(double x, double y, double w, double h)
{
    auto t = [](double v) { return static_cast<int32_t>(v * kTwipsPerPixel + (v < 0 ? -0.5 : 0.5)); };
    return {t(x), t(y), t(w), t(h)};
}

TEST(GeneratedMovie, HoldsTheLauncherFace)
{
    const auto m = Parse(GeneratedMovieBytes());
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->stageWidth, 1506u);
    EXPECT_EQ(m->stageHeight, 867u);
    EXPECT_EQ(m->frameRate, 24u);
    EXPECT_EQ(m->picture.width, 1506u);
    EXPECT_EQ(m->picture.height, 867u);
    EXPECT_EQ(m->pictureX, 0);
    EXPECT_EQ(m->pictureY, 0);

    struct Expected {
        const char* name;
        TwipRect place;
        Action action;
    };
    const Expected expected[] = {
        {"btn1", Px(467.6, 158.7, 82, 23), OpenUrl{builtin::kGamePageUrl, "_blank"}},
        {"btn2", Px(656.6, 158.7, 82, 23), OpenUrl{builtin::kPaymentUrl, "_blank"}},
        {"btn3", Px(840.55, 158.7, 82, 23), OpenUrl{builtin::kServiceUrl, "_blank"}},
        {"btn4", Px(1027.55, 158.7, 82, 23), OpenUrl{g_strForumUrl, "_blank"}},
        {"btn5", Px(1107.2, 110.35, 33, 35), FsCommand{"min", ""}},
        {"btn6", Px(1145.2, 105.35, 40, 40), FsCommand{"close", ""}},
    };
    ASSERT_EQ(m->buttons.size(), std::size(expected));
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        const Button& b = Named(*m, e.name);
        EXPECT_EQ(b.place, e.place);
        EXPECT_EQ(b.action, e.action);
        // Looks are drawn unscaled: their pixel size is the place's.
        for (const Png* look : {&b.up, &b.over}) {
            EXPECT_EQ(int64_t{look->width} * kTwipsPerPixel, b.place.w);
            EXPECT_EQ(int64_t{look->height} * kTwipsPerPixel, b.place.h);
        }
        EXPECT_NE(b.up.bytes, b.over.bytes);
    }

    ASSERT_EQ(m->markers.size(), 1u);
    EXPECT_EQ(m->markers[0].name, "webMC");
    EXPECT_EQ(m->markers[0].place, Px(609.8, 292.0, 545, 384));

    const std::vector<FsCommand> start = {{"moveweb", "609.8,292,545,384"}, {"weburl", builtin::kLoginUrl}};
    EXPECT_EQ(m->startCommands, start);
}

// The build writes the file with its own generator; this writer must agree
// with it byte for byte, so the two cannot drift apart.
TEST(GeneratedMovie, WriterReproducesItExactly)
{
    const auto bytes = GeneratedMovieBytes();
    const auto m = Parse(bytes);
    ASSERT_TRUE(m.has_value());
    EXPECT_TRUE(WriteMovie(*m) == bytes);
}

TEST(MovieParser, SmallMovieRoundTrips)
{
    const Movie m = SmallMovie();
    const auto parsed = Parse(WriteMovie(m));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, m);
}

TEST(MovieParser, EveryTruncationIsRejected)
{
    const auto bytes = WriteMovie(SmallMovie());
    for (size_t n = 0; n < bytes.size(); ++n)
        ASSERT_FALSE(ParseMovie(std::span(bytes).first(n)).has_value()) << "first " << n << " bytes";
}

// Malformed movies, built by changing the small movie before writing it.
TEST(MovieParser, RejectsContentBeyondTheLimits)
{
    struct Case {
        const char* what;
        std::function<void(Movie&)> spoil;
    };
    const std::string longName(kMaxNameLength + 1, 'a');
    const Case cases[] = {
        {"overlong button name", [&](Movie& m) { m.buttons[0].name = longName; }},
        {"overlong marker name", [&](Movie& m) { m.markers[0].name = longName; }},
        {"empty name", [](Movie& m) { m.buttons[1].name.clear(); }},
        {"name with a space", [](Movie& m) { m.buttons[1].name = "btn 2"; }},
        {"two buttons of one name", [](Movie& m) { m.buttons[1].name = m.buttons[0].name; }},
        {"two markers of one name", [](Movie& m) { m.markers.push_back(m.markers[0]); }},
        {"NUL in a command", [](Movie& m) { m.startCommands[0].command = std::string("move\0web", 8); }},
        {"NUL in a URL", [](Movie& m) { std::get<OpenUrl>(m.buttons[0].action).url += '\0'; }},
        {"empty command", [](Movie& m) { std::get<FsCommand>(m.buttons[1].action).command.clear(); }},
        {"empty URL", [](Movie& m) { std::get<OpenUrl>(m.buttons[0].action).url.clear(); }},
        {"overlong argument", [](Movie& m) { m.startCommands[1].argument.assign(kMaxTextLength + 1, 'x'); }},
        {"overlong command", [](Movie& m) { m.startCommands[1].command.assign(kMaxCommandLength + 1, 'x'); }},
        {"look that is not a PNG", [](Movie& m) { m.buttons[0].over.bytes[1] = 'J'; }},
        {"PNG without IHDR first", [](Movie& m) { m.buttons[0].up.bytes[12] = 'i'; }},
        {"PNG cut inside IHDR", [](Movie& m) { m.picture.bytes.resize(20); }},
        {"PNG of width 0", [](Movie& m) { m.buttons[1].up.bytes = FakePng(0, 35); }},
        {"PNG too large", [](Movie& m) { m.picture.bytes = FakePng(kMaxStagePixels + 1, 10); }},
        {"negative width", [](Movie& m) { m.buttons[0].place.w = -1; }},
        {"place far off the stage", [](Movie& m) { m.markers[0].place.x = kMaxCoordinateTwips + 1; }},
        {"picture far off the stage", [](Movie& m) { m.pictureY = -kMaxCoordinateTwips - 1; }},
        {"stage width 0", [](Movie& m) { m.stageWidth = 0; }},
        {"stage too high", [](Movie& m) { m.stageHeight = kMaxStagePixels + 1; }},
        {"frame rate 0", [](Movie& m) { m.frameRate = 0; }},
        {"too many buttons",
         [](Movie& m) {
             for (size_t i = m.buttons.size(); i <= kMaxButtons; ++i) {
                 m.buttons.push_back(m.buttons[0]);
                 m.buttons.back().name = "b" + std::to_string(i);
             }
         }},
        {"too many markers",
         [](Movie& m) {
             for (size_t i = m.markers.size(); i <= kMaxMarkers; ++i)
                 m.markers.push_back({"m" + std::to_string(i), {}});
         }},
        {"too many start commands", [](Movie& m) { m.startCommands.resize(kMaxStartCommands + 1, {"min", ""}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Movie m = SmallMovie();
        c.spoil(m);
        EXPECT_FALSE(Parse(WriteMovie(m)).has_value());
    }
    // The limits themselves are allowed.
    Movie atLimits = SmallMovie();
    atLimits.buttons[0].name = std::string(kMaxNameLength, 'a');
    atLimits.startCommands[1].argument.assign(kMaxTextLength, 'x');
    atLimits.startCommands.resize(kMaxStartCommands, {"min", ""});
    EXPECT_TRUE(Parse(WriteMovie(atLimits)).has_value());
}

// Offset of the first occurrence of `text` in `bytes`.
size_t Find(const std::vector<uint8_t>& bytes, std::string_view text)
{
    auto it = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
    if (it == bytes.end())
        throw std::runtime_error("not found: " + std::string(text));
    return static_cast<size_t>(it - bytes.begin());
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

// Malformed files: framing errors a writer of structures cannot make.
TEST(MovieParser, RejectsBrokenFraming)
{
    constexpr size_t kFirstRecord = 12;                  // the picture record
    constexpr size_t kPictureLength = kFirstRecord + 1;  // its payload length
    constexpr size_t kPicturePngLength = kFirstRecord + 5 + 8;
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> spoil;
    };
    const Case cases[] = {
        {"wrong magic", [](auto& b) { b[0] = 'X'; }},
        {"version 0", [](auto& b) { b[4] = 0; }},
        {"version 2", [](auto& b) { b[4] = 2; }},
        {"trailing byte after the end record", [](auto& b) { b.push_back(0); }},
        {"record length past the end", [](auto& b) { PutU32(b, kPictureLength, 0xFFFFFFFF); }},
        {"record length one too long", [](auto& b) { b[kPictureLength] += 1; }},
        {"PNG length past its record", [](auto& b) { PutU32(b, kPicturePngLength, 0xFFFFFFF0); }},
        {"unknown record kind", [](auto& b) { b[kFirstRecord] = 9; }},
        {"end record with a payload", [](auto& b) {
             b[b.size() - 4] = 1;
             b.push_back(0);
         }},
        {"no end record", [](auto& b) { b.resize(b.size() - 5); }},
        {"no picture", [](auto& b) {
             const uint32_t n = b[kPictureLength] | (b[kPictureLength + 1] << 8) | (b[kPictureLength + 2] << 16);
             b.erase(b.begin() + kFirstRecord, b.begin() + kFirstRecord + 5 + n);
         }},
        {"two pictures", [](auto& b) {
             const uint32_t n = b[kPictureLength] | (b[kPictureLength + 1] << 8) | (b[kPictureLength + 2] << 16);
             std::vector<uint8_t> record(b.begin() + kFirstRecord, b.begin() + kFirstRecord + 5 + n);
             b.insert(b.begin() + kFirstRecord, record.begin(), record.end());
         }},
        {"unknown action kind", [](auto& b) {
             // The "min" button's action: kind, then the command's 2-byte length.
             const size_t text = Find(b, std::string_view("\x03\x00min", 5));
             b.at(text - 1) = 7;
         }},
        {"record payload not read to its end", [](auto& b) {
             const size_t name = Find(b, "webMC");  // marker: kind, length, name length, name, place
             const size_t record = name - 1 - 5;
             b.at(record + 1) += 1;
             b.insert(b.begin() + name + 5 + 16, 0);
         }},
    };
    const auto good = WriteMovie(SmallMovie());
    ASSERT_TRUE(Parse(good).has_value());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto bytes = good;
        c.spoil(bytes);
        EXPECT_FALSE(Parse(bytes).has_value());
    }
}

TEST(EmbeddedStream, UnwrapsTheHostsHeader)
{
    std::vector<uint8_t> stream = {0x66, 0x55, 0x66, 0x55, 3, 0, 0, 0, 'a', 'b', 'c', 'd'};
    const auto movieBytes = UnwrapEmbeddedStream(stream);
    ASSERT_TRUE(movieBytes.has_value());
    EXPECT_EQ(std::string(movieBytes->begin(), movieBytes->end()), "abc");

    auto longer = stream;
    longer[4] = 5;
    EXPECT_FALSE(UnwrapEmbeddedStream(longer).has_value());
    auto badMagic = stream;
    badMagic[0] = 0x65;
    EXPECT_FALSE(UnwrapEmbeddedStream(badMagic).has_value());
    EXPECT_FALSE(UnwrapEmbeddedStream(std::span(stream).first(7)).has_value());
}

TEST(ToPixels, RoundsEachEdgeToTheNearestPixel)
{
    const std::pair<TwipRect, Rect> cases[] = {
        {Px(467.6, 158.7, 82, 23), {468, 159, 550, 182}},
        {Px(840.55, 158.7, 82, 23), {841, 159, 923, 182}},
        {{-30, -31, 20, 41}, {-1, -2, 0, 1}},  // -1.5 px rounds up to -1, -1.55 to -2
        {{kMaxCoordinateTwips, 0, kMaxCoordinateTwips, 0}, {838861, 0, 1677722, 0}},
    };
    for (const auto& [place, expected] : cases)
        EXPECT_EQ(ToPixels(place), expected);
}

}  // namespace
