#pragma once
// The updater's link to the update server: its name from the settings file,
// the manifest request and the package downloads.
#include <optional>
#include <string>
#include <string_view>

#include "update/trust/trust_problems.h"
#include "update/update_documents.h"
#include "update/update_flags.h"
#include "update/update_services.h"

namespace update {

enum class ManifestResult {
    Parsed,
    Failed,   // no manifest came, or none that could be read
    Refused,  // a client folder with a key refused it
};

enum class DownloadResult {
    Done,       // unchecked: the transfer was made; one that failed shows later as a missing archive
    Verified,   // the archive came whole, of the size and digest its entry promised
    Refused,    // checked, and not as promised: nothing kept, nothing to install
    Cancelled,  // checked, and stopped by the user's cancel: nothing kept
    NoFolder,   // the updater's own path has no folder to download into
    NoEntry,    // no entry of that index
};

struct PackageDownload {
    DownloadResult result = DownloadResult::Done;
    trust::TrustProblem problem = trust::TrustProblem::None;  // why it was Refused
};

// A signed manifest as the server sent it.
struct SignedManifestBodies {
    std::optional<std::string> manifest;  // the exact bytes; nothing when it could not be fetched
    std::string signature;                // the signature file's text; empty when there is none
};

// A body as the text fetch hands it over: its line feeds removed.
std::string WithoutLineFeeds(std::string_view text);

class CHttpUpDate {
public:
    // `flags` carries the cancel request and the download's byte counts.
    CHttpUpDate(const UpdateServices& services, UpdateFlags& flags);
    virtual ~CHttpUpDate() = default;

    // The server name from the settings file of `clientFolder`, at most 127
    // bytes; empty without a folder.
    void ReadServerConfig(const std::optional<std::string>& clientFolder);
    const std::string& Server() const { return server_; }

    // The exact body of a 2xx answer received whole; nothing otherwise.
    // `fresh`: from the server itself, never from a cache.
    std::optional<std::string> HttpGetBody(const std::string& address, bool fresh);
    // The body of a 2xx answer with its line feeds removed; empty otherwise.
    std::string HttpGetText(const std::string& address);
    // A 200 answer received whole becomes the file at `path`. With a promise
    // the body is counted and hashed as it arrives and the file is kept only
    // when it is exactly what was promised; without one the result is Done.
    PackageDownload HttpGetFile(const std::string& address, const std::string& path,
                                const std::optional<trust::PackageDigest>& promised);
    // Empty without a server name or when the fetch fails.
    std::string FetchManifestText();
    // The manifest fetched and parsed into `manifest`.
    ManifestResult RequestManifest(Manifest& manifest);
    // The manifest's bytes and the signature file beside it, both fresh from
    // the server, so that no cache can pair a manifest with another's signature.
    SignedManifestBodies FetchSignedManifest();
    // The entry's archive into the client folder, under the url's last
    // segment; checked against the entry's digest when it has one.
    PackageDownload DownloadPackage(const UpdateEntry& entry, const std::optional<std::string>& clientFolder);

    std::string ManifestUrl() const;
    std::string SignatureUrl() const;
    std::string PackageUrl(const std::string& url) const;

private:
    const UpdateServices& services_;
    UpdateFlags& flags_;
    std::string server_;
};

}  // namespace update
