#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/BrowserCommandLine.h"

namespace {

using namespace std::string_view_literals;

struct Case {
    const char* what;
    std::string_view commandLine;
    std::optional<std::string_view> expected;
};

const Case kCases[] = {
    {"quoted path, arguments, quoted placeholder", R"("C:\Program Files\X\x.exe" -osint -url "%1")",
     R"("C:\Program Files\X\x.exe")"},
    {"quoted path alone", R"("C:\Program Files\X\x.exe")", R"("C:\Program Files\X\x.exe")"},
    {"quoted path, leading spaces", R"(   "C:\P F\x.exe" "%1")", R"("C:\P F\x.exe")"},
    {"unquoted path and placeholder", R"(C:\Browser\b.exe %1)", R"("C:\Browser\b.exe")"},
    {"unquoted path, tab before the arguments", "C:\\Browser\\b.exe\t-url %1", R"("C:\Browser\b.exe")"},
    {"unquoted path alone", R"(C:\Browser\b.exe)", R"("C:\Browser\b.exe")"},
    {"unquoted path, leading spaces", R"(  C:\Browser\b.exe %1)", R"("C:\Browser\b.exe")"},
    {"unquoted path with its terminator read along", "C:\\Browser\\b.exe\0"sv, R"("C:\Browser\b.exe")"},
    {"unterminated quote", R"("C:\Program Files\X\x.exe -url %1)", std::nullopt},
    {"quote closed only after a NUL", "\"C:\\P F\\x.exe\0\" %1"sv, std::nullopt},
    {"empty quotes", R"("" %1)", std::nullopt},
    {"empty", "", std::nullopt},
    {"only spaces", "    ", std::nullopt},
    {"only a NUL", "\0C:\\b.exe"sv, std::nullopt},
};

TEST(BrowserProgramFromCommandLine, PathAloneInQuotes)
{
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(BrowserProgramFromCommandLine(c.commandLine), c.expected);
    }
}

TEST(BrowserProgramFromCommandLine, WideTextTheSameWay)
{
    const auto widen = [](std::string_view s) { return std::wstring(s.begin(), s.end()); };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        const auto expected = c.expected ? std::optional(widen(*c.expected)) : std::nullopt;
        EXPECT_EQ(BrowserProgramFromCommandLine(widen(c.commandLine)), expected);
    }
    EXPECT_EQ(BrowserProgramFromCommandLine(L"\"C:\\\u6d4f\u89c8\u5668\\b.exe\" \"%1\""),
              L"\"C:\\\u6d4f\u89c8\u5668\\b.exe\"");
}

TEST(BrowserProgramFromCommandLine, LongPathComesBackWhole)
{
    const std::string path = "C:\\" + std::string(300, 'd') + "\\b.exe";
    EXPECT_EQ(BrowserProgramFromCommandLine("\"" + path + "\" -url \"%1\""), "\"" + path + "\"");
    EXPECT_EQ(BrowserProgramFromCommandLine(path + " %1"), "\"" + path + "\"");
}

}  // namespace
