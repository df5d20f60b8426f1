// The benchmark's downloader: one package through CHttpUpDate::DownloadPackage
// into a client folder, as the download worker runs it.
//   update_download_bench CLIENT_FOLDER PORT URL
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "update/http_update.h"

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const std::string folder = argv[1];
    std::ofstream(folder + "/imset.ini") << "[IMSET]\nIMSERVER=127.0.0.1\n";
    update::UpdateServices services = update::DefaultUpdateServices();
    services.httpPort = std::atoi(argv[2]);
    update::UpdateFlags flags;
    update::CHttpUpDate updater(services, flags);
    updater.ReadServerConfig(folder);
    updater.DownloadPackage({"", argv[3], "", 1}, folder);
    std::printf("%lld bytes\n", static_cast<long long>(flags.bytesReceived.load()));
    return flags.bytesReceived.load() > 0 ? 0 : 1;
}
