#include <windows.h>
#include <wininet.h>

#include <cstdlib>

#include "platform/http/http_get.h"

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

HttpOutcome HttpGet(const std::string& url, const HttpGetOptions& options, HttpBodySink& sink) {
    Handle session(InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (session.get() == nullptr) return HttpOutcome::NoResponse;
    SetTimeout(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, options.connectTimeout);
    SetTimeout(session.get(), INTERNET_OPTION_SEND_TIMEOUT, options.receiveTimeout);
    SetTimeout(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, options.receiveTimeout);
    // 0x84000002 for a package (always from the server, never cached, binary), 1 for text.
    const DWORD flags = options.binary ? INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE | INTERNET_FLAG_TRANSFER_BINARY
                                       : INTERNET_FLAG_TRANSFER_ASCII;
    Handle file(InternetOpenUrlA(session.get(), url.c_str(), nullptr, 0, flags, kContext));
    if (file.get() == nullptr) return HttpOutcome::NoResponse;
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
