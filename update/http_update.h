#pragma once
// The updater's link to the update server: its name from the settings file,
// the manifest request and the package downloads.
#include <optional>
#include <string>

#include "update/update_documents.h"
#include "update/update_flags.h"
#include "update/update_services.h"

namespace update {

enum class ManifestResult { Parsed, Failed };

enum class DownloadResult {
    Done,      // the transfer was made; one that failed shows later as a missing archive
    NoFolder,  // the updater's own path has no folder to download into
    NoEntry,   // no entry of that index
};

class CHttpUpDate {
public:
    // `flags` carries the cancel request and the download's byte counts.
    CHttpUpDate(const UpdateServices& services, UpdateFlags& flags);
    virtual ~CHttpUpDate() = default;

    // The server name from the settings file of `clientFolder`, at most 127
    // bytes; empty without a folder.
    void ReadServerConfig(const std::optional<std::string>& clientFolder);
    const std::string& Server() const { return server_; }

    // The body of a 2xx answer with its line feeds removed; empty otherwise.
    std::string HttpGetText(const std::string& address);
    // True when a 200 answer was received whole and is now the file at `path`.
    bool HttpGetFile(const std::string& address, const std::string& path);
    // Empty without a server name or when the fetch fails.
    std::string FetchManifestText();
    // The manifest fetched and parsed into `manifest`.
    ManifestResult RequestManifest(Manifest& manifest);
    // The entry's archive into the client folder, under the url's last segment.
    DownloadResult DownloadPackage(const UpdateEntry& entry, const std::optional<std::string>& clientFolder);

    std::string ManifestUrl() const;
    std::string PackageUrl(const std::string& url) const;

private:
    const UpdateServices& services_;
    UpdateFlags& flags_;
    std::string server_;
};

}  // namespace update
