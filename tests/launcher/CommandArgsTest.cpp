#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "launcher/CommandArgs.h"

namespace {

struct RectCase {
    std::string_view args;
    Rect expected;
};

TEST(ParseWebRect, FourFieldsGiveLeftTopRightBottom)
{
    using namespace std::string_view_literals;
    const RectCase cases[] = {
        {"100,50,400,300", {100, 50, 500, 350}},
        {"1,2,3,4,", {1, 2, 4, 6}},                    // trailing comma
        {"609.8,292,545,384", {609, 292, 1154, 676}},  // the movie's web area
        {"1,,3,4", {1, 0, 4, 4}},                      // empty field in the middle is 0
        {",,,,", {0, 0, 0, 0}},
        {"1,2,3,4,5,6", {1, 2, 4, 6}},                 // extra fields ignored
        {" -10, +20,x,  7junk", {-10, 20, -10, 27}},   // atoi rules per field
        {"-5,-5,-5,-5", {-5, -5, -10, -10}},           // empty rectangles taken as they come
        {"1,2,3,4\0,9"sv, {1, 2, 4, 6}},               // the text ends at a NUL
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "args \"" << c.args << "\"");
        const auto r = ParseWebRect(c.args);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(*r, c.expected);
    }
}

TEST(ParseWebRect, FewerThanFourFieldsGiveNothing)
{
    using namespace std::string_view_literals;
    for (std::string_view args : {""sv, "100"sv, "1,2,3"sv, "1,2,3,"sv, ",,,"sv, "1,2\0,3,4"sv}) {
        SCOPED_TRACE(testing::Message() << "args \"" << args << "\"");
        EXPECT_FALSE(ParseWebRect(args).has_value());
    }
}

TEST(ParseWebRect, HugeValuesWrapWithoutOverflow)
{
    // CrtAtoi saturates; the sums then wrap to 32 bits (UBSan would flag a
    // signed overflow).
    EXPECT_EQ(ParseWebRect("2147483647,99999999999,2147483647,1"),
              (Rect{INT_MAX, INT_MAX, -2, INT_MIN}));
    EXPECT_EQ(ParseWebRect("-2147483648,0,-1,-2147483648"), (Rect{INT_MIN, 0, INT_MAX, INT_MIN}));
}

TEST(CentreInWorkArea, Cases)
{
    struct Case {
        const char* what;
        Rect window;
        Rect workArea;
        Point expected;
    };
    const Case cases[] = {
        {"centred on a 1920x1040 work area", {-10000, -10000, -8494, -9133}, {0, 0, 1920, 1040}, {207, 87}},
        {"larger than the work area: its top-left", {0, 0, 1506, 867}, {0, 0, 1024, 738}, {0, 0}},
        {"wider only", {0, 0, 1506, 100}, {0, 0, 1280, 1000}, {0, 450}},
        {"work area not at the origin", {5, 5, 105, 55}, {1920, 40, 3840, 1080}, {2830, 535}},
        {"work area left of the primary; halves round toward zero", {0, 0, 101, 51}, {-1001, -111, 0, 0},
         {-550, -80}},
        {"exactly the work area's size", {0, 0, 800, 600}, {100, 100, 900, 700}, {100, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CentreInWorkArea(c.window, c.workArea), c.expected);
    }
}

TEST(MatchLauncherCommand, WordsIgnoringCase)
{
    using namespace std::string_view_literals;
    const std::pair<std::string_view, LauncherCommand> cases[] = {
        {"close", LauncherCommand::Close},      {"Close", LauncherCommand::Close},
        {"moveweb", LauncherCommand::MoveWeb},  {"MOVEWEB", LauncherCommand::MoveWeb},
        {"moveweb_2", LauncherCommand::MoveWeb2}, {"MoveWeb_2", LauncherCommand::MoveWeb2},
        {"openweb", LauncherCommand::OpenWeb},  {"weburl", LauncherCommand::WebUrl},
        {"WEBURL_2", LauncherCommand::WebUrl2}, {"min", LauncherCommand::Min},
        {"close\0x"sv, LauncherCommand::Close},
        {"", LauncherCommand::None},            {"clos", LauncherCommand::None},
        {"closed", LauncherCommand::None},      {" close", LauncherCommand::None},
        {"moveweb_3", LauncherCommand::None},   {"m\xC4n", LauncherCommand::None},
        {"minimize", LauncherCommand::None},
    };
    for (const auto& [word, expected] : cases) {
        SCOPED_TRACE(testing::Message() << "word \"" << word << "\"");
        EXPECT_EQ(MatchLauncherCommand(word), expected);
    }
}

}  // namespace
