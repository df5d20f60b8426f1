// UpDate on Linux: the updater for a client folder laid out as on Windows
// (UpDate, libunzdll.so, imset.ini and ZiroIM2.exe side by side).
//
//   UpDate [--yes] VERSION
//
// Exit codes: 0 updated and the client restarted, 1 nothing newer, 2 bad
// version, 3 manifest request failed (or refused), 4 installation stopped,
// 5 the user declined or cancelled, 6 a package was refused by its check.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

#include "common/tool_info.h"
#include "update/tools/terminal_reporter.h"
#include "update/tools/terminal_window.h"
#include "update/update_engine.h"
#include "update/update_stages.h"
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
    "highest version. With update-key.pem beside it, only updates signed by one of\n"
    "its keys are taken, and every package must match its size and SHA-256 digest.\n"
    "Exit codes: 0 updated and restarted, 1 nothing newer, 2 bad version, 3 manifest\n"
    "request failed or refused, 4 installation stopped, 5 declined or cancelled,\n"
    "6 a package refused: nothing installed.\n";

enum class ExitCode {
    Updated = 0,
    NothingNewer = 1,
    BadVersion = 2,
    RequestFailed = 3,
    InstallStopped = 4,
    Declined = 5,
    PackageRefused = 6,
};

constexpr auto kRedrawPeriod = std::chrono::milliseconds(100);

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

bool UserAgrees(TerminalReporter& out) {
    std::printf("%s? [y/N] ", out.Shown(kDownloadButton).c_str());
    std::fflush(stdout);
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes";
}

// The main thread plays the dialog's thread: it carries out the workers'
// mail, redraws the bar as the dialog's timers would, and passes an
// interrupt on as the user's cancel.
ExitCode RunStages(UpdateStages& stages, TerminalWindow& window, DialogMailbox& mailbox, TerminalReporter& out) {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    stages.OnDownload(window);
    while (!window.Ended()) {
        mailbox.WaitForMail(kRedrawPeriod);
        mailbox.Deliver();
        if (interrupted && stages.OnCancel()) break;
        interrupted = 0;
        const std::set<DialogTimer> timers = window.Timers();
        for (const DialogTimer timer : timers) stages.OnTimer(timer, window);
    }
    out.EndProgress();
    stages.Finish();
    switch (stages.Outcome()) {
    case StageOutcome::Restarted:
        return ExitCode::Updated;
    case StageOutcome::Cancelled:
        return ExitCode::Declined;
    case StageOutcome::PackageRefused:
        return ExitCode::PackageRefused;
    default:
        return ExitCode::InstallStopped;
    }
}

ExitCode Update(int argc, char** argv) {
    int first = 1;
    const bool yes = argc > 1 && std::string(argv[1]) == "--yes";
    if (yes) first = 2;
    // The version is what follows the program's quoted path, as the client writes it.
    std::string commandLine = "\"UpDate.exe\"";
    for (int i = first; i < argc; ++i) commandLine += std::string(" ") + argv[i];

    TerminalReporter out;
    TerminalWindow window(out);
    DialogMailbox mailbox(window, nullptr);
    MailboxReporter reporter(mailbox);
    UpdateEngine engine(DefaultUpdateServices(), reporter);
    window.Watch(engine.Flags());
    switch (engine.Initialise(commandLine)) {
    case InitOutcome::NoVersionGiven:
    case InitOutcome::BadVersion:
        return ExitCode::BadVersion;
    case InitOutcome::RequestFailed:
        if (engine.Refusal().Refused()) out.Print(engine.Refusal().Text());
        return ExitCode::RequestFailed;
    case InitOutcome::NothingNewer:
        return ExitCode::NothingNewer;
    case InitOutcome::Ready:
        break;
    }
    std::vector<std::string> rows;
    for (const UpdateEntry& entry : engine.Entries()) rows.push_back(entry.version);
    out.SetRows(rows);
    out.Print(engine.DetailsText());
    if (!yes && !UserAgrees(out)) return ExitCode::Declined;

    EngineStageWork work(engine);
    ThreadLauncher launcher;
    UpdateStages stages(engine.Flags(), work, launcher, mailbox);
    return RunStages(stages, window, mailbox, out);
}

}  // namespace

int main(int argc, char** argv) {
    if (PrintToolInfo(argc, argv, "UpDate", kUsage)) return 0;
    return int(Update(argc, argv));
}
