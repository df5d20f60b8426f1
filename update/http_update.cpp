#include "update/http_update.h"

#include <memory>

#include "platform/http_get.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "update/update_paths.h"
#include "update/update_texts.h"

namespace update {

namespace {

constexpr std::size_t kServerBufferSize = 128;
constexpr char kPartialSuffix[] = ".download";

// The part of a body block that the announced length still admits: a server
// that sends more than it announced has its excess ignored, whatever the
// platform's HTTP client passes on.
std::size_t Admitted(int64_t announced, int64_t received, std::size_t size) {
    if (announced < 0 || int64_t(size) <= announced - received) return size;
    return received >= announced ? 0 : std::size_t(announced - received);
}

// Collects a text body, refusing one larger than the limit.
class TextSink final : public platform::HttpBodySink {
public:
    explicit TextSink(std::size_t limit) : limit_(limit) {}
    bool OnResponse(int status, int64_t length) override {
        accepted = status >= 200 && status <= 299;
        announced = length;
        return accepted;
    }
    bool OnBody(const char* data, std::size_t size) override {
        const std::size_t admitted = Admitted(announced, int64_t(body.size()), size);
        if (admitted > limit_ - body.size()) return false;
        body.append(data, admitted);
        return admitted == size;
    }
    // The whole body came: as the connection framed it, or as much as was announced.
    bool Whole(platform::HttpOutcome outcome) const {
        if (announced >= 0 && int64_t(body.size()) == announced) return outcome != platform::HttpOutcome::NoResponse;
        return announced < 0 && outcome == platform::HttpOutcome::Complete;
    }
    bool accepted = false;
    int64_t announced = -1;
    std::string body;

private:
    std::size_t limit_;
};

// Writes a 200 body to a file as it arrives, counting it for the progress
// display and stopping when the user cancels or the body passes the limit.
// The file replaces `path` only once the body is whole, so a failed or cut
// transfer leaves any earlier file as it was.
class FileSink final : public platform::HttpBodySink {
public:
    FileSink(std::string path, int64_t limit, UpdateFlags& flags)
        : path_(std::move(path)), limit_(limit), flags_(flags) {}
    bool OnResponse(int status, int64_t length) override {
        if (status != 200 || length > limit_) return false;
        writer = platform::CreateCommittingWriter(path_, kPartialSuffix);
        announced = length;
        flags_.bytesExpected.store(length);
        return writer != nullptr;
    }
    bool OnBody(const char* data, std::size_t size) override {
        if (flags_.cancelRequested.load() != 0) {
            cancelled = true;
            return false;
        }
        const std::size_t admitted = Admitted(announced, received, size);
        if (int64_t(admitted) > limit_ - received || !writer->Write(data, admitted)) return false;
        received += int64_t(admitted);
        flags_.bytesReceived.store(received);
        return admitted == size;
    }
    bool Whole(platform::HttpOutcome outcome) const {
        if (cancelled) return false;
        if (announced >= 0 && received == announced) return outcome != platform::HttpOutcome::NoResponse;
        return announced < 0 && outcome == platform::HttpOutcome::Complete;
    }
    std::unique_ptr<platform::CommittingWriter> writer;
    int64_t announced = -1;
    int64_t received = 0;
    bool cancelled = false;

private:
    std::string path_;
    int64_t limit_;
    UpdateFlags& flags_;
};

std::string WithoutLineFeeds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\n') out += c;
    return out;
}

}  // namespace

CHttpUpDate::CHttpUpDate(const UpdateServices& services, UpdateFlags& flags) : services_(services), flags_(flags) {}

void CHttpUpDate::ReadServerConfig(const std::optional<std::string>& clientFolder) {
    server_.clear();
    if (!clientFolder) return;
    const std::string settings = *clientFolder + services_.separator + kSettingsFile;
    server_ = platform::ReadIniString(settings, kSettingsSection, kSettingsKey, "", kServerBufferSize);
}

std::string CHttpUpDate::HttpGetText(const std::string& address) {
    TextSink sink(services_.maxDocumentBytes);
    const platform::HttpGetOptions options{false, services_.connectTimeout, services_.receiveTimeout};
    const platform::HttpOutcome outcome = platform::HttpGet(address, options, sink);
    if (!sink.accepted || !sink.Whole(outcome)) return {};
    return WithoutLineFeeds(sink.body);
}

bool CHttpUpDate::HttpGetFile(const std::string& address, const std::string& path) {
    FileSink sink(path, services_.maxPackageBytes, flags_);
    flags_.bytesReceived.store(0);
    flags_.bytesExpected.store(-1);
    const platform::HttpGetOptions options{true, services_.connectTimeout, services_.receiveTimeout};
    const platform::HttpOutcome outcome = platform::HttpGet(address, options, sink);
    return sink.writer != nullptr && sink.Whole(outcome) && sink.writer->Commit({}) == platform::CommitResult::Done;
}

std::string CHttpUpDate::ManifestUrl() const {
    return kScheme + server_ + ":" + std::to_string(services_.httpPort) + kManifestPath;
}

std::string CHttpUpDate::PackageUrl(const std::string& url) const {
    return kScheme + server_ + ":" + std::to_string(services_.httpPort) + kPackagePrefix + url;
}

std::string CHttpUpDate::FetchManifestText() {
    if (server_.empty()) return {};
    return HttpGetText(ManifestUrl());
}

ManifestResult CHttpUpDate::RequestManifest(Manifest& manifest) {
    return ParseManifest(FetchManifestText(), manifest) ? ManifestResult::Parsed : ManifestResult::Failed;
}

DownloadResult CHttpUpDate::DownloadPackage(const UpdateEntry& entry, const std::optional<std::string>& clientFolder) {
    if (!clientFolder) return DownloadResult::NoFolder;
    const std::string name = ArchiveNameOf(entry.url);
    if (!name.empty()) HttpGetFile(PackageUrl(entry.url), *clientFolder + services_.separator + name);
    return DownloadResult::Done;
}

}  // namespace update
