#pragma once
// The updater's engine: everything of the update but its window. The dialog
// (or the terminal front end) drives it through three stages:
//   choose:   Initialise with the command line, then Entries, DetailsText and
//             EntryDetails for the display;
//   download: per entry i, on a worker of its own, DownloadEntry(i), watching
//             Flags();
//   install:  StopClient, then on one worker InstallAll and, when every
//             package was installed, StartClient.
// Each step takes what the steps before it left through the engine's own
// state: the client folder (read once, when the engine is made), the server
// name (read by Initialise) and the entries (chosen by Initialise). Messages
// and row texts go to the UpdateReporter.
// A client folder with a key file (read once, with the folder) takes only a
// signed manifest, keeps the highest serial it accepted, and checks every
// package against its entry's size and digest while it downloads.
#include <optional>
#include <string>
#include <vector>

#include "update/client_trust.h"
#include "update/file_actions.h"
#include "update/http_update.h"
#include "update/update_documents.h"
#include "update/update_flags.h"
#include "update/update_reporter.h"
#include "update/update_services.h"

namespace update {

enum class InitOutcome {
    NoVersionGiven,  // no quoted updater path: nothing shown, nothing requested; the dialog stays open empty
    BadVersion,      // "版本不正确！" shown; the program ends
    RequestFailed,   // "更新请求失败！" shown (also for a refused manifest: see Refusal); the program ends
    NothingNewer,    // "您的IM已经是最新版本，不需要升级" shown; the program ends
    Ready,           // Entries() holds the newer entries to list
};

enum class InstallResult {
    Installed,     // every package, in order
    UnpackFailed,  // "解压缩失败" shown
    ScriptFailed,  // the install script could not be read; its message shown
    CleanFailed,   // the work folders could not be cleaned
};

class UpdateEngine {
public:
    // The services are the engine's own copy, fixed from here on.
    UpdateEngine(UpdateServices services, UpdateReporter& reporter);
    UpdateEngine(const UpdateEngine&) = delete;
    UpdateEngine& operator=(const UpdateEngine&) = delete;

    const UpdateServices& Services() const { return services_; }
    // The counters and flags that the stages' threads share.
    UpdateFlags& Flags() { return flags_; }
    // The updater's own folder; nothing when its path has none.
    const std::optional<std::string>& ClientFolder() const { return clientFolder_; }
    // The update server's name, once Initialise has read it.
    const std::string& Server() const { return updater_.Server(); }
    const std::string& GroupValue() const { return manifest_.groupValue; }
    // The entries to download and install, in the manifest's order.
    const std::vector<UpdateEntry>& Entries() const { return manifest_.entries; }
    // Entries of the caller's own in their place, as if the manifest had left them.
    void SetEntries(std::vector<UpdateEntry> entries) { manifest_.entries = std::move(entries); }
    // Whether only signed updates are taken here.
    bool SignedUpdatesOnly() const { return trust_.Required(); }
    // Why Initialise refused the manifest; nothing refused otherwise.
    const TrustRefusal& Refusal() const { return refusal_; }

    // Choose stage (the dialog's thread).
    InitOutcome Initialise(const std::string& commandLine);
    // Every entry's version, "升级内容:\r\n" and description, separated by "\r\n\r\n".
    std::string DetailsText() const;
    // One entry's version, "升级内容:\r\n" and description; empty for a row that does not exist.
    std::string EntryDetails(int row, bool fixLineBreaks) const;

    // Download stage: one entry's archive into the client folder. A package
    // refused by its check has its reason shown before this returns.
    DownloadResult DownloadEntry(int index);

    // Install stage. False when the process list cannot be read.
    bool StopClient();
    InstallResult InstallAll();
    bool UnpackPackage(const UpdateEntry& entry);
    // The actions of the unpacked package's install script; nothing after its message.
    std::optional<std::vector<FileAction>> ReadUpdateInfo();
    void ApplyFileActions(int row, const std::vector<FileAction>& actions);
    // The client started with the highest version as its parameter.
    bool StartClient();

private:
    std::string InFolder(const char* name) const { return *clientFolder_ + services_.separator + name; }
    // The manifest with every check of a client folder with a key.
    ManifestResult RequestSignedManifest();

    const UpdateServices services_;
    UpdateReporter& reporter_;
    UpdateFlags flags_;
    const std::optional<std::string> clientFolder_;
    CHttpUpDate updater_;
    const FileActions files_;
    const ClientTrust trust_;
    Manifest manifest_;
    TrustRefusal refusal_;
};

}  // namespace update
