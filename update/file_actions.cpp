#include "update/file_actions.h"

#include "platform/file_system.h"
#include "platform/processes.h"
#include "update/update_paths.h"
#include "update/update_texts.h"

namespace update {

ActionResult FileActions::Apply(const FileAction& action) const {
    if (!clientFolder_) return ActionResult::NoFolder;
    const std::optional<std::string> name = NormalisedActionName(action.name, separator_);
    if (!name) return ActionResult::NameRefused;
    const std::string target = *clientFolder_ + *name;
    const std::string source = InFolder(kWorkFolder) + *name;
    const std::string backup = InFolder(kBackupFolder) + *name;
    const bool exists = platform::PathExists(target);
    if (exists && platform::IsReadOnly(target)) platform::ClearReadOnly(target);
    switch (action.action) {
    case ActionKind::Copy:
        if (!MakeParentFolders(target)) return ActionResult::FoldersFailed;
        if (!platform::CopyFileOver(source, target)) return ActionResult::CopyFailed;
        break;
    case ActionKind::Replace:
        if (!exists) return ActionResult::NoTarget;
        platform::CopyFileOver(target, backup);
        if (!platform::CopyFileOver(source, target)) return ActionResult::CopyFailed;
        break;
    case ActionKind::Remove:
        if (!exists) return ActionResult::NoTarget;
        platform::CopyFileOver(target, backup);
        if (!platform::RemoveFile(target)) return ActionResult::DeleteFailed;
        break;
    case ActionKind::Execute:
        platform::StartProgram(source, "");
        break;
    case ActionKind::Other:
        break;
    }
    return ActionResult::Done;
}

bool FileActions::MakeParentFolders(const std::string& path) const {
    for (const std::size_t at : SeparatorPositions(path, separator_)) {
        const std::string prefix = path.substr(0, at + 1);
        if (platform::IsFolder(prefix)) continue;
        if (!platform::MakeFolder(prefix) && !platform::IsFolder(prefix)) return false;
    }
    return true;
}

// A read-only file is made writable first.
void FileActions::DeleteFolderTree(const std::string& folder) const {
    const auto entries = platform::ListFolder(folder);
    if (!entries) return;
    for (const platform::FolderEntry& entry : *entries) {
        const std::string path = folder + separator_ + entry.name;
        if (entry.kind == platform::EntryKind::Folder) {
            DeleteFolderTree(path);
            platform::RemoveEmptyFolder(path);
            continue;
        }
        if (entry.kind == platform::EntryKind::File && platform::IsReadOnly(path)) platform::ClearReadOnly(path);
        platform::RemoveFile(path);
    }
}

bool FileActions::CleanWorkFolders() const {
    if (!clientFolder_) return false;
    for (const char* name : {kWorkFolder, kBackupFolder}) {
        const std::string path = InFolder(name);
        DeleteFolderTree(path);
        platform::RemoveEmptyFolder(path);
    }
    return true;
}

}  // namespace update
