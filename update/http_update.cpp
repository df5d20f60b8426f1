#include "update/http_update.h"

#include <memory>

#include "platform/http_get.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "update/trust/package_check.h"
#include "update/update_paths.h"
#include "update/update_texts.h"

namespace update {

namespace {

constexpr std::size_t kServerBufferSize = 128;
constexpr char kPartialSuffix[] = ".download";
constexpr char kSignatureSuffix[] = ".sig";

// The part of a body block that the announced length still admits: a server
// that sends more than it announced has its excess ignored, whatever the
// platform's HTTP client passes on.
std::size_t Admitted(int64_t announced, int64_t received, std::size_t size) {
    if (announced < 0 || int64_t(size) <= announced - received) return size;
    return received >= announced ? 0 : std::size_t(announced - received);
}

// Collects a body whole in memory (a manifest, its signature file), refusing
// one larger than the limit.
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
// transfer leaves any earlier file as it was. A body with a promise is also
// checked as it arrives: one announced or growing beyond the promised size
// is stopped there.
class FileSink final : public platform::HttpBodySink {
public:
    FileSink(std::string path, int64_t limit, UpdateFlags& flags, const std::optional<trust::PackageDigest>& promised)
        : path_(std::move(path)), limit_(limit), flags_(flags) {
        if (promised) {
            check_.emplace(*promised);
            promisedSize_ = promised->size;
        }
    }
    bool OnResponse(int status, int64_t length) override {
        if (status != 200 || length > limit_) return false;
        if (check_ && length >= 0 && uint64_t(length) != promisedSize_) {
            problem = trust::TrustProblem::PackageSizeDiffers;
            return false;
        }
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
        if (check_ && !check_->Add(data, admitted)) {
            problem = trust::TrustProblem::PackageSizeDiffers;
            return false;
        }
        if (int64_t(admitted) > limit_ - received || !writer->Write(data, admitted)) return false;
        received += int64_t(admitted);
        flags_.bytesReceived.store(received);
        return admitted == size;
    }
    bool Whole(platform::HttpOutcome outcome) const {
        if (cancelled || writer == nullptr) return false;
        if (announced >= 0 && received == announced) return outcome != platform::HttpOutcome::NoResponse;
        return announced < 0 && outcome == platform::HttpOutcome::Complete;
    }
    // The transfer's end: the file given its name when it may be, and how it went.
    PackageDownload Finish(platform::HttpOutcome outcome) {
        const bool whole = Whole(outcome);
        if (!check_) {
            if (whole) writer->Commit({});
            return {};
        }
        if (cancelled) return {DownloadResult::Cancelled};
        if (problem == trust::TrustProblem::None && !whole) problem = trust::TrustProblem::PackageNotReceived;
        if (problem == trust::TrustProblem::None) problem = check_->Finish();
        if (problem == trust::TrustProblem::None && writer->Commit({}) != platform::CommitResult::Done)
            problem = trust::TrustProblem::PackageNotReceived;
        if (problem != trust::TrustProblem::None) return {DownloadResult::Refused, problem};
        return {DownloadResult::Verified};
    }
    std::unique_ptr<platform::CommittingWriter> writer;
    int64_t announced = -1;
    int64_t received = 0;
    bool cancelled = false;
    trust::TrustProblem problem = trust::TrustProblem::None;

private:
    std::string path_;
    int64_t limit_;
    UpdateFlags& flags_;
    std::optional<trust::PackageCheck> check_;
    uint64_t promisedSize_ = 0;
};

}  // namespace

std::string WithoutLineFeeds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\n') out += c;
    return out;
}

CHttpUpDate::CHttpUpDate(const UpdateServices& services, UpdateFlags& flags) : services_(services), flags_(flags) {}

void CHttpUpDate::ReadServerConfig(const std::optional<std::string>& clientFolder) {
    server_.clear();
    if (!clientFolder) return;
    const std::string settings = *clientFolder + services_.separator + kSettingsFile;
    server_ = platform::ReadIniString(settings, kSettingsSection, kSettingsKey, "", kServerBufferSize);
}

std::optional<std::string> CHttpUpDate::HttpGetBody(const std::string& address, bool fresh) {
    TextSink sink(services_.maxDocumentBytes);
    const platform::HttpGetOptions options{fresh, services_.connectTimeout, services_.receiveTimeout};
    const platform::HttpOutcome outcome = platform::HttpGet(address, options, sink);
    if (!sink.accepted || !sink.Whole(outcome)) return std::nullopt;
    return std::move(sink.body);
}

std::string CHttpUpDate::HttpGetText(const std::string& address) {
    const std::optional<std::string> body = HttpGetBody(address, false);
    return body ? WithoutLineFeeds(*body) : std::string();
}

PackageDownload CHttpUpDate::HttpGetFile(const std::string& address, const std::string& path,
                                         const std::optional<trust::PackageDigest>& promised) {
    FileSink sink(path, services_.maxPackageBytes, flags_, promised);
    flags_.bytesReceived.store(0);
    flags_.bytesExpected.store(-1);
    const platform::HttpGetOptions options{true, services_.connectTimeout, services_.receiveTimeout};
    return sink.Finish(platform::HttpGet(address, options, sink));
}

std::string CHttpUpDate::ManifestUrl() const {
    return kScheme + server_ + ":" + std::to_string(services_.httpPort) + kManifestPath;
}

std::string CHttpUpDate::SignatureUrl() const { return ManifestUrl() + kSignatureSuffix; }

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

SignedManifestBodies CHttpUpDate::FetchSignedManifest() {
    if (server_.empty()) return {};
    SignedManifestBodies bodies;
    bodies.manifest = HttpGetBody(ManifestUrl(), true);
    if (bodies.manifest) bodies.signature = HttpGetBody(SignatureUrl(), true).value_or(std::string());
    return bodies;
}

PackageDownload CHttpUpDate::DownloadPackage(const UpdateEntry& entry,
                                             const std::optional<std::string>& clientFolder) {
    if (!clientFolder) return {DownloadResult::NoFolder};
    const std::string name = ArchiveNameOf(entry.url);
    if (name.empty()) {
        if (entry.digest) return {DownloadResult::Refused, trust::TrustProblem::PackageNotReceived};
        return {};
    }
    return HttpGetFile(PackageUrl(entry.url), *clientFolder + services_.separator + name, entry.digest);
}

}  // namespace update
