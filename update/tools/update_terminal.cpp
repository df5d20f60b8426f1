// UpDate on Linux: the updater for a client folder laid out as on Windows
// (UpDate, libunzdll.so, imset.ini and ZiroIM2.exe side by side).
//
//   UpDate [--yes] VERSION
//
// Exit codes: 0 updated and the client restarted, 1 nothing newer, 2 bad
// version, 3 manifest request failed, 4 installation stopped, 5 the user
// declined or cancelled.
#include <csignal>
#include <cstdio>
#include <future>
#include <iostream>
#include <string>

#include "common/tool_info.h"
#include "update/tools/terminal_reporter.h"
#include "update/update_engine.h"
#include "update/update_texts.h"

namespace {

using namespace update;

const char* const kUsage =
    "usage: UpDate [--yes] VERSION\n"
    "       UpDate --version | --help\n"
    "Updates the client folder UpDate lies in (UpDate, libunzdll.so, imset.ini and\n"
    "ZiroIM2.exe side by side) from the server that imset.ini names, as the client's\n"
    "VERSION (four numbers, e.g. 3.0.0.5) calls for: lists the newer versions, asks\n"
    "(unless --yes), downloads, stops the client, installs and restarts it with the\n"
    "highest version.\n"
    "Exit codes: 0 updated and restarted, 1 nothing newer, 2 bad version, 3 manifest\n"
    "request failed, 4 installation stopped, 5 declined or cancelled.\n";

enum ExitCode { kExitUpdated = 0, kExitNothingNewer = 1, kExitBadVersion = 2, kExitRequestFailed = 3, kExitInstallStopped = 4, kExitDeclined = 5 };

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

std::string Megabytes(int64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", double(bytes) / (1024.0 * 1024.0));
    return text;
}

// Runs `work` on a worker of its own and redraws the bar until it is done.
template <typename Work, typename Draw>
auto OnWorker(Work work, Draw draw) {
    auto result = std::async(std::launch::async, work);
    while (result.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) draw();
    return result.get();
}

bool UserAgrees(TerminalReporter& out) {
    std::printf("%s? [y/N] ", out.Shown(kDownloadButton).c_str());
    std::fflush(stdout);
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes";
}

bool DownloadAll(UpdateEngine& engine, TerminalReporter& out) {
    UpdateFlags& flags = engine.flags;
    const int count = int(engine.updater.entries.size());
    engine.StoreModulePath();
    flags.packageCount.store(count);
    for (int i = 0; i < count && flags.cancelRequested.load() == 0; ++i) {
        flags.currentIndex.store(i);
        out.SetRowStatus(i, kDownloading);
        const std::string label = engine.updater.entries[std::size_t(i)].version;
        OnWorker([&engine, i] { return engine.DownloadEntry(i); }, [&] {
            if (interrupted) flags.cancelRequested.store(1);
            const int64_t got = flags.bytesReceived.load(), total = flags.bytesExpected.load();
            out.Progress(label, total > 0 ? ProgressPosition(got, total) : 0,
                         Megabytes(got) + (total >= 0 ? " / " + Megabytes(total) : std::string()));
        });
        if (flags.cancelRequested.load() != 0) break;
        out.SetRowStatus(i, kDownloadDone);
    }
    flags.downloadFinished.store(1);
    if (flags.cancelRequested.load() != 0) return false;
    flags.packageDone.store(1);
    return true;
}

int InstallAll(UpdateEngine& engine, TerminalReporter& out) {
    out.Print(std::string(kMessageCaption) + ": " + kClosingClient);
    out.SetRowStatus(0, kInstalling);
    engine.StopClient();
    UpdateFlags& flags = engine.flags;
    const int result = OnWorker([&engine] { return engine.InstallAll(); }, [&] {
        const int position = flags.installFinished.load() ? kProgressRange
                                                          : ProgressPosition(flags.currentIndex.load(), flags.packageCount.load());
        out.Progress(kInstallProgressLabel, position, "");
    });
    out.EndProgress();
    if (result != 1) return kExitInstallStopped;
    return engine.StartClient() ? kExitUpdated : kExitInstallStopped;
}

}  // namespace

int main(int argc, char** argv) {
    if (PrintToolInfo(argc, argv, "UpDate", kUsage)) return 0;
    int first = 1;
    const bool yes = argc > 1 && std::string(argv[1]) == "--yes";
    if (yes) first = 2;
    // The version is what follows the program's quoted path, as the client writes it.
    std::string commandLine = "\"UpDate.exe\"";
    for (int i = first; i < argc; ++i) commandLine += std::string(" ") + argv[i];

    TerminalReporter out;
    UpdateEngine engine(DefaultUpdateServices(), out);
    switch (engine.Initialise(commandLine)) {
    case InitOutcome::NoVersionGiven:
    case InitOutcome::BadVersion:
        return kExitBadVersion;
    case InitOutcome::RequestFailed:
        return kExitRequestFailed;
    case InitOutcome::NothingNewer:
        return kExitNothingNewer;
    case InitOutcome::Ready:
        break;
    }
    std::vector<std::string> rows;
    for (const UpdateEntry& entry : engine.updater.entries) rows.push_back(entry.version);
    out.SetRows(rows);
    out.Print(engine.DetailsText());
    if (!yes && !UserAgrees(out)) return kExitDeclined;

    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    if (!DownloadAll(engine, out)) return kExitDeclined;
    return InstallAll(engine, out);
}
