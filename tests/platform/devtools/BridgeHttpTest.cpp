// The window.external requests: only whole requests to the secret path are
// served, and the answer lets a page of another origin read it.
#include <gtest/gtest.h>

#include "platform/devtools/BridgeHttp.h"

namespace {

using bridgehttp::ParseRequest;
using State = bridgehttp::Request::State;

TEST(BridgeHttp, ServesOnlyWholeRequestsToTheSecretPath)
{
    const std::string body = R"({"op":"get","name":"BrowserEx"})";
    const std::string good = "POST /s3cret/external HTTP/1.1\r\nHost: x\r\nContent-Type: text/plain\r\n"
                             "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    bridgehttp::Request r = ParseRequest(good, "s3cret");
    EXPECT_EQ(r.state, State::Complete);
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.body, body);
    // Every shorter prefix is still coming.
    for (size_t n : {size_t{0}, size_t{10}, good.find("\r\n\r\n"), good.size() - 1})
        EXPECT_EQ(ParseRequest(good.substr(0, n), "s3cret").state, State::Incomplete) << n;

    struct Case {
        std::string request;
        int status;
    };
    const Case refused[] = {
        {"POST /other/external HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 404},
        {"POST /s3cret/externalx HTTP/1.1\r\n\r\n", 404},
        {"POST /external HTTP/1.1\r\n\r\n", 404},
        {"GET /s3cret/external HTTP/1.1\r\n\r\n", 405},
        {"POST /s3cret/external HTTP/1.1\r\nContent-Length: x1\r\n\r\n", 400},
        {"POST /s3cret/external HTTP/1.1\r\nContent-Length: 99999999\r\n\r\n", 413},
        {"POST /s3cret/external HTTP/1.1\r\nno colon here\r\n\r\n", 400},
        {"garbage\r\n\r\n", 400},
        {std::string(70 * 1024, 'a'), 413},  // a header that never ends
    };
    for (const Case& c : refused) {
        r = ParseRequest(c.request, "s3cret");
        EXPECT_EQ(r.state, State::Refused) << c.request.substr(0, 40);
        EXPECT_EQ(r.status, c.status) << c.request.substr(0, 40);
    }
    // Without a secret nothing is served.
    EXPECT_EQ(ParseRequest("POST //external HTTP/1.1\r\n\r\n", "").state, State::Refused);
    // A browser's preflight is answered too.
    EXPECT_EQ(ParseRequest("OPTIONS /s3cret/external HTTP/1.1\r\n\r\n", "s3cret").method, "OPTIONS");
}

TEST(BridgeHttp, TheAnswerCarriesItsLengthAndTheCrossOriginHeaders)
{
    const std::string response = bridgehttp::Response(200, "{\"v\":1}");
    EXPECT_EQ(response.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_NE(response.find("\r\nAccess-Control-Allow-Origin: *\r\n"), std::string::npos);
    EXPECT_NE(response.find("\r\nContent-Length: 7\r\n\r\n{\"v\":1}"), std::string::npos);
}

}  // namespace
