#include "http_reply.h"

#include <charconv>
#include <stdexcept>

#include "text/text.h"

namespace testing_support {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::size_t number(std::string_view digits, int base) {
    std::size_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        throw std::runtime_error("not a number in the HTTP reply: " + std::string(digits));
    return value;
}

// The chunked body from its start; nothing until the last chunk and its blank line are there.
std::optional<std::string> dechunked(std::string_view rest) {
    std::string body;
    for (;;) {
        std::size_t lineEnd = rest.find("\r\n");
        if (lineEnd == std::string_view::npos)
            return std::nullopt;
        std::string_view size = rest.substr(0, lineEnd);
        size = trimmed(size.substr(0, size.find(';')));
        std::size_t length = number(size, 16);
        rest.remove_prefix(lineEnd + 2);
        if (length == 0) {
            // Trailer lines, then a blank one.
            std::size_t end = rest.find("\r\n");
            while (end != std::string_view::npos && end != 0) {
                rest.remove_prefix(end + 2);
                end = rest.find("\r\n");
            }
            if (end == std::string_view::npos)
                return std::nullopt;
            return body;
        }
        if (rest.size() < length + 2)
            return std::nullopt;
        body += rest.substr(0, length);
        rest.remove_prefix(length + 2);
    }
}

}  // namespace

std::optional<HttpReply> completeHttpReply(std::string_view received) {
    std::size_t headEnd = received.find("\r\n\r\n");
    if (headEnd == std::string_view::npos)
        return std::nullopt;
    std::string_view head = received.substr(0, headEnd);
    std::string_view rest = received.substr(headEnd + 4);
    std::size_t lineEnd = head.find("\r\n");
    std::string_view statusLine = head.substr(0, lineEnd);
    if (!text::startsWith(statusLine, "HTTP/1.") || statusLine.size() < 12)
        throw std::runtime_error("not an HTTP reply: " + std::string(statusLine));
    HttpReply reply;
    reply.status = static_cast<int>(number(statusLine.substr(9, 3), 10));
    // An interim reply (100 Continue) has no body; the real one follows it.
    if (reply.status / 100 == 1)
        return completeHttpReply(rest);
    std::optional<std::size_t> contentLength;
    bool chunked = false;
    while (lineEnd != std::string_view::npos) {
        head.remove_prefix(lineEnd + 2);
        lineEnd = head.find("\r\n");
        std::string_view line = head.substr(0, lineEnd);
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string name = text::asciiLower(trimmed(line.substr(0, colon)));
        std::string_view value = trimmed(line.substr(colon + 1));
        if (name == "content-length")
            contentLength = number(value, 10);
        else if (name == "transfer-encoding")
            chunked = text::contains(text::asciiLower(value), "chunked");
        else if (name == "content-type")
            reply.contentType = std::string(value);
    }
    if (chunked) {
        std::optional<std::string> body = dechunked(rest);
        if (!body)
            return std::nullopt;
        reply.body = std::move(*body);
        return reply;
    }
    if (!contentLength)
        throw std::runtime_error("an HTTP reply with neither a length nor chunks");
    if (rest.size() < *contentLength)
        return std::nullopt;
    reply.body = std::string(rest.substr(0, *contentLength));
    return reply;
}

}  // namespace testing_support
