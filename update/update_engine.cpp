#include "update/update_engine.h"

#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "platform/processes.h"
#include "platform/xml_tree.h"
#include "update/code_convert.h"
#include "update/command_line.h"
#include "update/info_zip.h"
#include "update/update_paths.h"
#include "update/update_texts.h"

namespace update {

namespace {

constexpr uint32_t kTerminatedExitCode = 4;

// Line terminators dropped as a text-mode read drops them: "\r\n" and "\n".
std::string JoinLines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') continue;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

}  // namespace

UpdateEngine::UpdateEngine(UpdateServices services_, UpdateReporter& reporter_)
    : services(std::move(services_)), reporter(reporter_), updater(services, flags) {}

std::optional<std::string> UpdateEngine::ClientFolder() const {
    return ClientFolderOf(services.moduleFileName(), services.separator);
}

std::string UpdateEngine::InFolder(const std::string& folder, const char* name) const {
    return folder + services.separator + name;
}

bool UpdateEngine::ParseCommandLine(const std::string& text) {
    std::string version;
    switch (update::ParseCommandLine(text, version)) {
    case CommandLineResult::NoUpdaterPath:
        return false;
    case CommandLineResult::EmptyVersion:
        reporter.ShowMessage(kBadVersion, MessageCaption::MessageManager, MessageIcon::Exclamation);
        return false;
    case CommandLineResult::Version:
        break;
    }
    updater.currentVersion = version;
    return true;
}

InitOutcome UpdateEngine::Initialise(const std::string& text) {
    commandLine = text;
    if (!ParseCommandLine(text)) {
        std::string ignored;
        return update::ParseCommandLine(text, ignored) == CommandLineResult::NoUpdaterPath ? InitOutcome::NoVersionGiven
                                                                                          : InitOutcome::BadVersion;
    }
    updater.ReadServerConfig();
    if (updater.RequestManifest() != 0) {
        reporter.ShowMessage(kRequestFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
        return InitOutcome::RequestFailed;
    }
    if (!updater.HasNewerVersion()) {
        reporter.ShowMessage(kAlreadyLatest, MessageCaption::MessageManager, MessageIcon::Information);
        return InitOutcome::NothingNewer;
    }
    return InitOutcome::Ready;
}

std::string UpdateEngine::EntryDetails(int row, bool fixLineBreaks) const {
    if (row < 0 || std::size_t(row) >= updater.entries.size()) return {};
    const UpdateEntry& entry = updater.entries[std::size_t(row)];
    return entry.version + kUpgradeContents + DescriptionText(entry.description, fixLineBreaks);
}

std::string UpdateEngine::DetailsText() const {
    std::string text;
    for (std::size_t i = 0; i < updater.entries.size(); ++i) {
        if (i > 0) text += kEntrySeparator;
        text += EntryDetails(int(i), true);
    }
    return text;
}

void UpdateEngine::StoreModulePath() {
    modulePath = services.moduleFileName();
    updater.modulePath = modulePath;
}

int UpdateEngine::DownloadEntry(int index) {
    if (index < 0 || std::size_t(index) >= updater.entries.size()) return -1;
    updater.url = updater.entries[std::size_t(index)].url;
    return updater.DownloadPackage();
}

// Stops every process running this client folder's executable and waits for
// each to be gone, so that no file of the client is in use when it is replaced.
int UpdateEngine::StopClient() {
    const auto folder = ClientFolder();
    const std::optional<std::vector<uint32_t>> ids = platform::ListProcessIds();
    if (!ids) return 0;
    if (!folder) return 1;
    const std::string client = InFolder(*folder, kClientExecutable);
    for (const uint32_t id : *ids) {
        const std::unique_ptr<platform::ProcessHandle> process = platform::OpenProcessById(id);
        if (process == nullptr || !SameTextIgnoringCase(process->ExecutablePath(), client)) continue;
        if (!process->Terminate(kTerminatedExitCode) || !process->WaitForExit(services.clientExitWaitMs))
            reporter.ShowMessage(kClientExitFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
    }
    return 1;
}

int UpdateEngine::InstallAll() {
    const int count = int(updater.entries.size());
    for (int i = 0; i < count; ++i) {
        flags.packageCount.store(count);
        flags.currentIndex.store(i);
        updater.url = updater.entries[std::size_t(i)].url;
        if (!UnpackPackage()) return -1;
        if (!ReadUpdateInfo()) return -2;
        if (!ApplyFileActions(i)) return -3;
        if (!CleanWorkFolders()) return -4;
    }
    flags.installFinished.store(1);
    return 1;
}

bool UpdateEngine::UnpackPackage() {
    const auto folder = ClientFolder();
    if (!folder) {
        reporter.ShowMessage(kUnpackFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
        return false;
    }
    const std::string target = InFolder(*folder, kWorkFolder);
    platform::MakeFolder(target);
    platform::MakeFolder(InFolder(*folder, kBackupFolder));
    // A refused name was never downloaded: the library then reports, as for
    // any missing archive, that the client folder itself is no archive.
    const std::string name = ArchiveNameOf(updater.url);
    const std::string archive = InFolder(*folder, name.c_str());
    const std::string library = InFolder(*folder, services.unzipLibraryName.c_str());
    if (!UnzipArchive(library, archive, target, reporter)) {
        reporter.ShowMessage(kUnpackFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
        return false;
    }
    if (!name.empty()) platform::RemoveFile(archive);
    return true;
}

bool UpdateEngine::ReadUpdateInfo() {
    const auto folder = ClientFolder();
    std::optional<std::string> text;
    if (folder) {
        const std::string script = InFolder(InFolder(*folder, kWorkFolder), kScriptFile);
        text = platform::ReadWholeFile(script, services.maxDocumentBytes);
    }
    if (!text) {
        reporter.ShowMessage(kOpenScriptFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
        return false;
    }
    const std::optional<platform::XmlNode> document = platform::ParseXmlDocument(JoinLines(*text));
    if (!document) {
        reporter.ShowMessage(kScriptFailed, MessageCaption::Application, MessageIcon::None);
        return false;
    }
    return ReadScriptTree(*document, actions);
}

bool UpdateEngine::StartClient() {
    const auto folder = ClientFolder();
    if (!folder) return false;
    return platform::StartProgram(InFolder(*folder, kClientExecutable), updater.HighestVersion());
}

}  // namespace update
