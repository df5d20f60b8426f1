#pragma once
// One HTTP GET through the platform's URL-opening service. The body is handed
// to a sink as it arrives, so nothing of it is held here.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

struct HttpGetOptions {
    // Binary: always fetched from the server and never cached. Otherwise a
    // text transfer that the platform may answer from its cache.
    bool binary = false;
    // No connection within this time, or no byte for this long: the transfer fails.
    std::chrono::milliseconds connectTimeout{30000};
    std::chrono::milliseconds receiveTimeout{60000};
};

class HttpBodySink {
public:
    virtual ~HttpBodySink() = default;
    // The final status and the announced body length (-1 when none was
    // announced). False reads no body.
    virtual bool OnResponse(int status, int64_t contentLength) = 0;
    // The next piece of the body; false stops the transfer.
    virtual bool OnBody(const char* data, std::size_t size) = 0;
};

enum class HttpOutcome {
    Complete,    // a response came and its body ended as the connection said
    NoResponse,  // no status: the name, the connection or the request failed
    Stopped,     // the sink declined the body or stopped it
    Failed,      // the transfer broke off or timed out after the status
};

HttpOutcome HttpGet(const std::string& url, const HttpGetOptions& options, HttpBodySink& sink);

}  // namespace platform
