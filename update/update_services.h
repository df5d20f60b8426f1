#pragma once
// What the updater engine takes from outside; tests change any of it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace update {

struct UpdateServices {
    // Full path of the updater executable; its folder is the client folder.
    std::function<std::string()> moduleFileName;
    char separator = '\\';
    // The update server's port, written into both URL forms.
    int httpPort = 8000;
    std::chrono::milliseconds connectTimeout{30000};
    std::chrono::milliseconds receiveTimeout{60000};
    // Seconds since 1970 (UTC): what a signed manifest's expiry is checked against.
    std::function<int64_t()> wallSeconds;
    // How long a stopped client may take to end before the files are touched.
    uint32_t clientExitWaitMs = 10000;
    // The unzip library's file name in the client folder.
    std::string unzipLibraryName;
    // The manifest and an install script are read whole; larger ones are refused.
    std::size_t maxDocumentBytes = 16 * 1024 * 1024;
    // A package announced larger is not fetched, and a body that grows beyond
    // it is cut off as a failed download: a server cannot fill the disk.
    int64_t maxPackageBytes = int64_t(1) << 30;
};

// The running program's own path, the system's clock, and the platform's
// separator and unzip library.
UpdateServices DefaultUpdateServices();

}  // namespace update
