// The benchmark's downloader: one package through CHttpUpDate::DownloadPackage
// into a folder, as the download worker runs it.
//   update_download_bench CLIENT_FOLDER PORT URL
#include <cstdio>
#include <cstdlib>
#include <string>

#include "update/http_update.h"

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    update::UpdateServices services = update::DefaultUpdateServices();
    services.httpPort = std::atoi(argv[2]);
    update::UpdateFlags flags;
    update::CHttpUpDate updater(services, flags);
    updater.server = "127.0.0.1";
    updater.modulePath = std::string(argv[1]) + "/UpDate";
    updater.url = argv[3];
    updater.DownloadPackage();
    std::printf("%lld bytes\n", static_cast<long long>(flags.bytesReceived.load()));
    return flags.bytesReceived.load() > 0 ? 0 : 1;
}
