#include <curl/curl.h>

#include <mutex>

#include "platform/http_get.h"

namespace platform {

namespace {

// The body's blocks: as large as the curl tool takes them, so that a large
// package costs as few wake-ups and writes as curl's own download.
constexpr long kReceiveBlock = 100 * 1024;

struct Transfer {
    CURL* curl;
    HttpBodySink& sink;
    bool responded = false;
    bool stopped = false;
};

// The status and length come with the first body bytes (or after the
// transfer for an empty body), once redirections are behind us.
bool Respond(Transfer& transfer) {
    if (transfer.responded) return !transfer.stopped;
    transfer.responded = true;
    long status = 0;
    curl_off_t length = -1;
    curl_easy_getinfo(transfer.curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(transfer.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    transfer.stopped = !transfer.sink.OnResponse(int(status), length < 0 ? -1 : int64_t(length));
    return !transfer.stopped;
}

size_t OnData(char* data, size_t, size_t size, void* context) {
    auto& transfer = *static_cast<Transfer*>(context);
    if (!Respond(transfer)) return 0;
    if (size > 0 && !transfer.sink.OnBody(data, size)) {
        transfer.stopped = true;
        return 0;
    }
    return size;
}

void InitialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

long WholeSeconds(std::chrono::milliseconds time) {
    const long seconds = long((time.count() + 999) / 1000);
    return seconds > 0 ? seconds : 1;
}

}  // namespace

HttpOutcome HttpGet(const std::string& url, const HttpGetOptions& options, HttpBodySink& sink) {
    InitialiseOnce();
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return HttpOutcome::NoResponse;
    Transfer transfer{curl, sink};
    curl_slist* headers = nullptr;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(options.connectTimeout.count()));
    // Less than one byte a second for the whole receive time-out: the peer has gone silent.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, WholeSeconds(options.receiveTimeout));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBlock);
    if (options.binary) {
        // Past any cache on the way: the package always comes from the server.
        headers = curl_slist_append(headers, "Cache-Control: no-cache");
        headers = curl_slist_append(headers, "Pragma: no-cache");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    }
    const CURLcode rc = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    HttpOutcome outcome = HttpOutcome::Complete;
    if (transfer.stopped) outcome = HttpOutcome::Stopped;
    else if (rc != CURLE_OK) outcome = (transfer.responded || status != 0) ? HttpOutcome::Failed : HttpOutcome::NoResponse;
    else if (!Respond(transfer)) outcome = HttpOutcome::Stopped;
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return outcome;
}

}  // namespace platform
