#pragma once
// The HTTP around an IPP reply, for the test against a real printer: where the reply's body
// ends, by its Content-Length or its chunks.

#include <optional>
#include <string>
#include <string_view>

namespace testing_support {

struct HttpReply {
    int status = 0;
    std::string contentType;
    std::string body;
};

// The reply once all of it has arrived: nothing while it is still incomplete. Throws
// std::runtime_error for bytes that are no HTTP/1.x reply.
std::optional<HttpReply> completeHttpReply(std::string_view received);

}  // namespace testing_support
