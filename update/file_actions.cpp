// Applying an install script's actions to the client folder, and the work folders.
#include "platform/file_system.h"
#include "platform/processes.h"
#include "update/update_engine.h"
#include "update/update_paths.h"
#include "update/update_texts.h"

namespace update {

bool UpdateEngine::ApplyFileActions(int row) {
    if (actions.empty()) return true;
    reporter.SetRowStatus(row, kInstalling);
    for (const FileAction& action : actions) ApplyFileAction(action);
    reporter.SetRowStatus(row, kInstallDone);
    return true;
}

int UpdateEngine::ApplyFileAction(const FileAction& action) {
    const auto folder = ClientFolder();
    if (!folder) return kActionNoFolder;
    const std::optional<std::string> name = NormalisedActionName(action.name, services.separator);
    if (!name) return kActionNameRefused;
    const std::string target = *folder + *name;
    const std::string source = *folder + services.separator + kWorkFolder + *name;
    const std::string backup = *folder + services.separator + kBackupFolder + *name;
    const bool exists = platform::PathExists(target);
    if (exists && platform::IsReadOnly(target)) platform::ClearReadOnly(target);
    if (action.action == "copy") {
        if (!MakeParentFolders(target)) return kActionFoldersFailed;
        if (!platform::CopyFileOver(source, target)) return kActionCopyFailed;
    } else if (action.action == "replace") {
        if (!exists) return kActionNoTarget;
        platform::CopyFileOver(target, backup);
        if (!platform::CopyFileOver(source, target)) return kActionCopyFailed;
    } else if (action.action == "remove") {
        if (!exists) return kActionNoTarget;
        platform::CopyFileOver(target, backup);
        if (!platform::RemoveFile(target)) return kActionDeleteFailed;
    } else if (action.action == "execute") {
        platform::StartProgram(source, "");
    }
    return kActionDone;
}

bool UpdateEngine::MakeParentFolders(const std::string& path) {
    for (const std::size_t at : SeparatorPositions(path, services.separator)) {
        const std::string prefix = path.substr(0, at + 1);
        if (platform::IsFolder(prefix)) continue;
        if (!platform::MakeFolder(prefix) && !platform::IsFolder(prefix)) return false;
    }
    return true;
}

// Links are removed, never followed; a read-only file is made writable first.
bool UpdateEngine::DeleteFolderTree(const std::string& folder) {
    const auto entries = platform::ListFolder(folder);
    if (!entries) return true;
    for (const platform::FolderEntry& entry : *entries) {
        const std::string path = folder + services.separator + entry.name;
        if (entry.kind == platform::EntryKind::Folder) {
            DeleteFolderTree(path);
            platform::RemoveEmptyFolder(path);
            continue;
        }
        if (entry.kind == platform::EntryKind::File && platform::IsReadOnly(path)) platform::ClearReadOnly(path);
        platform::RemoveFile(path);
    }
    return true;
}

bool UpdateEngine::CleanWorkFolders() {
    const auto folder = ClientFolder();
    if (!folder) return false;
    for (const char* name : {kWorkFolder, kBackupFolder}) {
        const std::string path = *folder + services.separator + name;
        DeleteFolderTree(path);
        platform::RemoveEmptyFolder(path);
    }
    return true;
}

}  // namespace update
