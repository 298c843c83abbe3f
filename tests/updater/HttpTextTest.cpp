// The request text and the reading of the response header, apart from sockets.
#include <gtest/gtest.h>

#include "updater/HttpText.h"

namespace {

TEST(SplitUrl, TakesHostWithoutPortAndPathFromTheFirstSlash)
{
    struct Row {
        const char* url;
        const char* host;
        const char* path;
    } rows[] = {
        {"http://update.example/version.txt", "update.example", "/version.txt"},
        {"http://update.example:8080/a/b?c=d", "update.example", "/a/b?c=d"},
        {"http://127.0.0.2", "127.0.0.2", "/"},
        {"https://h/x", "h", "/x"},
    };
    for (const Row& r : rows) {
        UrlParts parts = SplitUrl(r.url);
        EXPECT_EQ(parts.host, r.host) << r.url;
        EXPECT_EQ(parts.path, r.path) << r.url;
    }
}

TEST(ComposeGetRequest, OptionalLinesAppearOnlyWhenAskedFor)
{
    const std::string head = "GET /p HTTP/1.1\r\nHost:h\r\n";
    const std::string tail = "Accept:*/*\r\nUser-Agent:Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
                             "Connection:Keep-Alive\r\n";
    EXPECT_EQ(ComposeGetRequest("h", "/p", nullptr, nullptr, 0, 0), head + tail + "\r\n");
    EXPECT_EQ(ComposeGetRequest("h", "/p", "c=1", "http://r/", 0, 0),
              head + "Referer:http://r/\r\n" + tail + "Set Cookie:0c=1\r\n\r\n");
    EXPECT_EQ(ComposeGetRequest("h", "/p", nullptr, nullptr, 100, 200), head + tail + "Range: bytes=100-200\r\n\r\n");
    EXPECT_EQ(ComposeGetRequest("h", "/p", nullptr, nullptr, 100, 50), head + tail + "Range: bytes=100-\r\n\r\n");
}

TEST(ParseStatusCode, ReadsTheThreeDigitsAfterTheVersion)
{
    EXPECT_EQ(ParseStatusCode("HTTP/1.1 200 OK\r\n\r\n"), 200);
    EXPECT_EQ(ParseStatusCode("HTTP/1.0 404 Not Found\r\n\r\n"), 404);
    EXPECT_EQ(ParseStatusCode("HTTP/1.1 2x0 OK\r\n\r\n"), -1);
    EXPECT_EQ(ParseStatusCode("HTTP/1.1 20"), -1);
}

TEST(FindHeaderField, MatchesWholeNamesAtLineStartsInAnyCase)
{
    const std::string header = "HTTP/1.1 200 OK\r\n"
                               "X-Note: Content-Type: wrong\r\n"
                               "content-type:  text/plain \t\r\n"
                               "Content-Type-Extra: wrong\r\n"
                               "Empty:\r\n"
                               "\r\n";
    EXPECT_EQ(FindHeaderField(header, "Content-Type"), "text/plain");
    EXPECT_EQ(FindHeaderField(header, "CONTENT-TYPE"), "text/plain");
    EXPECT_EQ(FindHeaderField(header, "Empty"), "");
    EXPECT_EQ(FindHeaderField(header, "Content-Length"), std::nullopt);
    EXPECT_EQ(FindHeaderField(header, "HTTP/1.1 200 OK"), std::nullopt) << "the status line is no field";
    EXPECT_EQ(FindHeaderField(header, ""), std::nullopt);
}

TEST(ParseContentLength, AcceptsOneToTenDigitsUpTo31Bits)
{
    struct Row {
        const char* text;
        std::optional<int32_t> value;
    } rows[] = {
        {"0", 0},          {"1234", 1234},          {"0000000001", 1},      {"2147483647", 2147483647},
        {"2147483648", {}}, {"9999999999", {}},     {"00000000001", {}},    {"", {}},
        {"-1", {}},        {"+1", {}},              {"12a", {}},            {"1 2", {}},
        {" 1", {}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ParseContentLength(r.text), r.value) << '"' << r.text << '"';
}

}  // namespace
