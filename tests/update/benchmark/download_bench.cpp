// The benchmark's downloader: one package through CHttpUpDate::DownloadPackage
// into a client folder, as the download worker runs it; with a size and a
// SHA-256 digest, checked while it arrives, as a signed entry's package is.
//   update_download_bench CLIENT_FOLDER PORT URL [SIZE SHA256]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "update/http_update.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 6) return 2;
    const std::string folder = argv[1];
    std::ofstream(folder + "/imset.ini") << "[IMSET]\nIMSERVER=127.0.0.1\n";
    update::UpdateServices services = update::DefaultUpdateServices();
    services.httpPort = std::atoi(argv[2]);
    update::UpdateFlags flags;
    update::CHttpUpDate updater(services, flags);
    updater.ReadServerConfig(folder);
    update::UpdateEntry entry{"", argv[3], "", 1};
    if (argc == 6) {
        const std::string size = argv[4], sha256 = argv[5];
        const update::trust::PackageDigestReading promise = update::trust::ReadPackageDigest(&size, &sha256);
        if (promise.problem != update::trust::TrustProblem::None) return 2;
        entry.digest = promise.digest;
    }
    const update::PackageDownload download = updater.DownloadPackage(entry, folder);
    std::printf("%lld bytes\n", static_cast<long long>(flags.bytesReceived.load()));
    if (argc == 6 && download.result != update::DownloadResult::Verified) return 1;
    return flags.bytesReceived.load() > 0 ? 0 : 1;
}
