#pragma once
// The updater's engine: everything of the update but its window. The dialog
// (or the terminal front end) drives it through three stages:
//   choose:   Initialise, then DetailsText / EntryDetails for the display;
//   download: StoreModulePath, then per entry i on a worker of its own
//             DownloadEntry(i), watching `flags`;
//   install:  StopClient, then on one worker InstallAll and, when it returned
//             1, StartClient.
// Messages and row texts go to the UpdateReporter; counters and flags that
// other threads read are in `flags`.
#include <string>
#include <vector>

#include "update/http_update.h"
#include "update/update_documents.h"
#include "update/update_flags.h"
#include "update/update_reporter.h"
#include "update/update_services.h"

namespace update {

enum class InitOutcome {
    NoVersionGiven,  // no quoted updater path: nothing shown, nothing requested; the dialog stays open empty
    BadVersion,      // "版本不正确！" shown; the program ends
    RequestFailed,   // "更新请求失败！" shown; the program ends
    NothingNewer,    // "您的IM已经是最新版本，不需要升级" shown; the program ends
    Ready,           // updater.entries holds the newer entries to list
};

// Results of ApplyFileAction.
enum : int {
    kActionDone = 0,
    kActionNoTarget = 1,
    kActionNoFolder = -1,
    kActionCopyFailed = -2,
    kActionDeleteFailed = -3,
    kActionFoldersFailed = -4,
    kActionNameRefused = -5,  // the name would leave the client folder
};

class UpdateEngine {
public:
    UpdateEngine(UpdateServices services, UpdateReporter& reporter);

    // The settings are the engine's own copy: set before any stage starts.
    UpdateServices services;
    UpdateReporter& reporter;
    UpdateFlags flags;
    CHttpUpDate updater;
    std::vector<FileAction> actions;
    std::string modulePath;
    std::string commandLine;

    // Choose stage (the dialog's thread).
    bool ParseCommandLine(const std::string& text);
    InitOutcome Initialise(const std::string& text);
    // Every entry's version, "升级内容:\r\n" and description, separated by "\r\n\r\n".
    std::string DetailsText() const;
    // One entry's version, "升级内容:\r\n" and description; empty for a row that does not exist.
    std::string EntryDetails(int row, bool fixLineBreaks) const;

    // Download stage.
    void StoreModulePath();
    // On the entry's worker: its url into updater.url, then DownloadPackage.
    int DownloadEntry(int index);

    // Install stage.
    int StopClient();
    int InstallAll();
    bool UnpackPackage();
    bool ReadUpdateInfo();
    bool ApplyFileActions(int row);
    int ApplyFileAction(const FileAction& action);
    bool MakeParentFolders(const std::string& path);
    bool DeleteFolderTree(const std::string& folder);
    bool CleanWorkFolders();
    bool StartClient();

    std::optional<std::string> ClientFolder() const;

private:
    std::string InFolder(const std::string& folder, const char* name) const;
};

}  // namespace update
