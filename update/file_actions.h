#pragma once
// An install script's actions carried out on the client folder, with backup
// copies of what they overwrite or remove, and the two work folders.
#include <optional>
#include <string>

#include "update/update_documents.h"

namespace update {

enum class ActionResult {
    Done,           // also for an action word that is none of the four
    NoTarget,       // "replace" or "remove" of a file the client folder does not have
    NoFolder,       // the updater's own path has no folder
    CopyFailed,     // the copy onto the target failed
    DeleteFailed,   // the target could not be removed
    FoldersFailed,  // the target's folders could not be made
    NameRefused,    // the name would leave the client folder
};

class FileActions {
public:
    // `clientFolder` is nothing when the updater's own path has no folder.
    FileActions(std::optional<std::string> clientFolder, char separator)
        : clientFolder_(std::move(clientFolder)), separator_(separator) {}

    ActionResult Apply(const FileAction& action) const;
    // Makes every folder on the way to `path`, but not its last component.
    bool MakeParentFolders(const std::string& path) const;
    // Links are removed, never followed.
    void DeleteFolderTree(const std::string& folder) const;
    // "ziro_update" and "backup" with all they hold; false without a client folder.
    bool CleanWorkFolders() const;

private:
    std::string InFolder(const char* name) const { return *clientFolder_ + separator_ + name; }

    std::optional<std::string> clientFolder_;
    char separator_;
};

}  // namespace update
