#include "platform/devtools/BridgeHttp.h"

#include <charconv>

#include "platform/AsciiCase.h"
#include "platform/HttpHeader.h"

namespace bridgehttp {

namespace {

Request Refuse(int status)
{
    Request r;
    r.state = Request::State::Refused;
    r.status = status;
    return r;
}

const char* Reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Payload Too Large";
    case 503: return "Service Unavailable";
    default: return "Error";
    }
}

}  // namespace

Request ParseRequest(std::string_view received, std::string_view secret)
{
    if (received.size() > kMaxRequestBytes)
        return Refuse(413);
    const size_t headerEnd = received.find("\r\n\r\n");
    if (headerEnd == std::string_view::npos)
        return received.size() > 64 * 1024 ? Refuse(413) : Request{};
    const std::string_view head = received.substr(0, headerEnd);
    const size_t lineEnd = head.find("\r\n");
    const std::string_view requestLine = head.substr(0, lineEnd);
    const size_t firstSpace = requestLine.find(' ');
    const size_t secondSpace = firstSpace == std::string_view::npos ? firstSpace : requestLine.find(' ', firstSpace + 1);
    if (secondSpace == std::string_view::npos)
        return Refuse(400);
    const std::string_view method = requestLine.substr(0, firstSpace);
    const std::string_view path = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    if (secret.empty() || path != "/" + std::string(secret) + "/external")
        return Refuse(404);
    if (method != "POST" && method != "OPTIONS")
        return Refuse(405);

    size_t contentLength = 0;
    std::string_view headers = lineEnd == std::string_view::npos ? std::string_view() : head.substr(lineEnd + 2);
    while (!headers.empty()) {
        const size_t end = headers.find("\r\n");
        const std::string_view line = headers.substr(0, end);
        headers = end == std::string_view::npos ? std::string_view() : headers.substr(end + 2);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return Refuse(400);
        if (EqualsIgnoringAsciiCase(TrimBlanks(line.substr(0, colon)), "content-length")) {
            const std::string_view value = TrimBlanks(line.substr(colon + 1));
            const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), contentLength);
            if (ec != std::errc() || ptr != value.data() + value.size())
                return Refuse(400);
            if (contentLength > kMaxRequestBytes)
                return Refuse(413);
        }
    }
    const size_t bodyStart = headerEnd + 4;
    if (received.size() - bodyStart < contentLength)
        return Request{};
    Request r;
    r.state = Request::State::Complete;
    r.method = std::string(method);
    r.body = std::string(received.substr(bodyStart, contentLength));
    return r;
}

std::string Response(int status, std::string_view body)
{
    std::string out = "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\n";
    out += "Content-Type: application/json; charset=utf-8\r\n";
    out += "Access-Control-Allow-Origin: *\r\n";
    out += "Access-Control-Allow-Methods: POST, OPTIONS\r\n";
    out += "Access-Control-Allow-Headers: Content-Type\r\n";
    out += "Access-Control-Allow-Private-Network: true\r\n";
    out += "Cache-Control: no-store\r\n";
    out += "Connection: close\r\n";
    out += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    out += body;
    return out;
}

}  // namespace bridgehttp
