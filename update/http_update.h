#pragma once
// The updater's link to the update server: the settings, the manifest and its
// entries, and the package downloads.
#include <cstdint>
#include <string>
#include <vector>

#include "update/update_documents.h"
#include "update/update_flags.h"
#include "update/update_services.h"
#include "update/version_number.h"

namespace update {

class CHttpUpDate {
public:
    // `flags` carries the cancel request and the download's byte counts.
    CHttpUpDate(const UpdateServices& services, UpdateFlags& flags);
    virtual ~CHttpUpDate();

    std::string currentVersion;
    std::string server;
    std::string modulePath;
    int port = 0;
    std::string url;
    std::string groupValue;
    std::vector<UpdateEntry> entries;
    int64_t requestTime = 0;

    // Server name from the settings file; port 8000; url "/im/update.xml".
    void ReadServerConfig();
    // The settings file's server name into `name` (unchanged when the
    // updater's path has no folder); at most 127 bytes.
    void ReadServerName(std::string& name) const;

    // The body of a 2xx answer with its line feeds removed; empty otherwise.
    std::string HttpGetText(const std::string& address);
    // True when a 200 answer was received whole and is now the file at `path`.
    bool HttpGetFile(const std::string& address, const std::string& path);
    std::string FetchManifestText();
    // 0 when the manifest was fetched and parsed, 3 otherwise.
    int RequestManifest();
    // Downloads `url` into the client folder: 0; -1 when modulePath has no folder.
    int DownloadPackage();

    bool ParseManifest(const std::string& text);
    // Drops the leading entries that are not newer than currentVersion.
    bool HasNewerVersion();
    std::string HighestVersion() const;

    std::string ManifestUrl(const std::string& serverName) const;
    std::string PackageUrl() const;

private:
    const UpdateServices& services_;
    UpdateFlags& flags_;
};

}  // namespace update
