#include <windows.h>
#include <wininet.h>

#include <cstdlib>

#include "platform/http_get.h"

namespace platform {

namespace {

constexpr DWORD_PTR kContext = 1;
constexpr DWORD kBlockSize = 4096;

class Handle {
public:
    explicit Handle(HINTERNET handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != nullptr) InternetCloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return handle_; }

private:
    HINTERNET handle_;
};

void SetTimeout(HINTERNET session, DWORD option, std::chrono::milliseconds time) {
    DWORD ms = time.count() > 0 ? DWORD(time.count()) : 1;
    InternetSetOptionA(session, option, &ms, sizeof ms);
}

// -1 when the response announced no length.
int64_t ContentLength(HINTERNET file) {
    char text[32] = {};
    DWORD size = sizeof text - 1;
    if (!HttpQueryInfoA(file, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return -1;
    char* end = nullptr;
    const long long length = std::strtoll(text, &end, 10);
    return (end == text || length < 0) ? -1 : int64_t(length);
}

}  // namespace

// The URL is opened in its steps (connect, open the request, send it) rather
// than in one call, so that the time-outs are set on the request itself:
// session-wide ones are not honoured by every implementation of the service.
HttpOutcome HttpGet(const std::string& url, const HttpGetOptions& options, HttpBodySink& sink) {
    URL_COMPONENTSA parts{};
    char host[256] = {}, path[4096] = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts) || host[0] == '\0') return HttpOutcome::NoResponse;
    Handle session(InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (session.get() == nullptr) return HttpOutcome::NoResponse;
    SetTimeout(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, options.connectTimeout);
    Handle connection(InternetConnectA(session.get(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0,
                                       kContext));
    if (connection.get() == nullptr) return HttpOutcome::NoResponse;
    // 0x84000002 for a package (always from the server, never cached, binary), 1 for text.
    DWORD flags = options.binary ? INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE | INTERNET_FLAG_TRANSFER_BINARY
                                 : INTERNET_FLAG_TRANSFER_ASCII;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    Handle file(HttpOpenRequestA(connection.get(), "GET", path[0] ? path : "/", nullptr, nullptr, nullptr, flags,
                                 kContext));
    if (file.get() == nullptr) return HttpOutcome::NoResponse;
    SetTimeout(file.get(), INTERNET_OPTION_CONNECT_TIMEOUT, options.connectTimeout);
    SetTimeout(file.get(), INTERNET_OPTION_SEND_TIMEOUT, options.receiveTimeout);
    SetTimeout(file.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, options.receiveTimeout);
    if (!HttpSendRequestA(file.get(), nullptr, 0, nullptr, 0)) return HttpOutcome::NoResponse;
    DWORD status = 0, size = sizeof status;
    if (!HttpQueryInfoA(file.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return HttpOutcome::NoResponse;
    if (!sink.OnResponse(int(status), ContentLength(file.get()))) return HttpOutcome::Stopped;
    char block[kBlockSize];
    for (;;) {
        DWORD n = 0;
        if (!InternetReadFile(file.get(), block, kBlockSize, &n)) return HttpOutcome::Failed;
        if (n == 0) return HttpOutcome::Complete;
        if (!sink.OnBody(block, n)) return HttpOutcome::Stopped;
    }
}

}  // namespace platform
