#include "update/update_engine.h"

#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/xml_tree.h"
#include "update/code_convert.h"
#include "update/command_line.h"
#include "update/entry_choice.h"
#include "update/info_zip.h"
#include "update/signed_manifest.h"
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

UpdateEngine::UpdateEngine(UpdateServices services, UpdateReporter& reporter)
    : services_(std::move(services)),
      reporter_(reporter),
      clientFolder_(ClientFolderOf(services_.moduleFileName(), services_.separator)),
      updater_(services_, flags_),
      files_(clientFolder_, services_.separator),
      trust_(clientFolder_, services_.separator) {}

InitOutcome UpdateEngine::Initialise(const std::string& commandLine) {
    std::string version;
    switch (ParseCommandLine(commandLine, version)) {
    case CommandLineResult::NoUpdaterPath:
        return InitOutcome::NoVersionGiven;
    case CommandLineResult::EmptyVersion:
        reporter_.ShowMessage(kBadVersion, MessageCaption::MessageManager, MessageIcon::Exclamation);
        return InitOutcome::BadVersion;
    case CommandLineResult::Version:
        break;
    }
    updater_.ReadServerConfig(clientFolder_);
    const ManifestResult request = trust_.Required() ? RequestSignedManifest() : updater_.RequestManifest(manifest_);
    if (request != ManifestResult::Parsed) {
        reporter_.ShowMessage(kRequestFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
        return InitOutcome::RequestFailed;
    }
    if (!HasNewerVersion(manifest_.entries, version)) {
        reporter_.ShowMessage(kAlreadyLatest, MessageCaption::MessageManager, MessageIcon::Information);
        return InitOutcome::NothingNewer;
    }
    return InitOutcome::Ready;
}

// The key file and the folder's highest serial are read before anything is
// fetched; the serial is kept only once the whole manifest has been accepted.
ManifestResult UpdateEngine::RequestSignedManifest() {
    refusal_ = {};
    const trust::TrustedKeys& keys = trust_.Keys();
    if (keys.problem != trust::TrustProblem::None) {
        refusal_ = {keys.problem, keys.block};
        return ManifestResult::Refused;
    }
    const std::string serialFile = InFolder(trust::kAcceptedSerialFile);
    const std::optional<uint64_t> highest = ReadAcceptedSerial(serialFile);
    if (!highest) {
        refusal_ = {trust::TrustProblem::AcceptedSerialUnreadable};
        return ManifestResult::Refused;
    }
    const SignedManifestBodies bodies = updater_.FetchSignedManifest();
    if (!bodies.manifest) return ManifestResult::Failed;
    SignedManifestReading reading =
        ReadSignedManifest({keys.keys, *highest, services_.wallSeconds()}, *bodies.manifest, bodies.signature);
    refusal_ = reading.refusal;
    switch (reading.result) {
    case SignedManifestResult::Refused:
        return ManifestResult::Refused;
    case SignedManifestResult::Malformed:
        return ManifestResult::Failed;
    case SignedManifestResult::Accepted:
        break;
    }
    // A serial that cannot be kept weakens only the next check; this manifest stands.
    if (reading.serial > *highest) WriteAcceptedSerial(serialFile, reading.serial);
    manifest_ = std::move(reading.manifest);
    return ManifestResult::Parsed;
}

std::string UpdateEngine::EntryDetails(int row, bool fixLineBreaks) const {
    if (row < 0 || std::size_t(row) >= Entries().size()) return {};
    const UpdateEntry& entry = Entries()[std::size_t(row)];
    return entry.version + kUpgradeContents + DescriptionText(entry.description, fixLineBreaks);
}

std::string UpdateEngine::DetailsText() const {
    std::string text;
    for (std::size_t i = 0; i < Entries().size(); ++i) {
        if (i > 0) text += kEntrySeparator;
        text += EntryDetails(int(i), true);
    }
    return text;
}

DownloadResult UpdateEngine::DownloadEntry(int index) {
    if (index < 0 || std::size_t(index) >= Entries().size()) return DownloadResult::NoEntry;
    const PackageDownload download = updater_.DownloadPackage(Entries()[std::size_t(index)], clientFolder_);
    if (download.result == DownloadResult::Refused)
        reporter_.ShowMessage(TrustRefusal{download.problem}.Text(), MessageCaption::MessageManager,
                              MessageIcon::Exclamation);
    return download.result;
}

// Stops every process running this client folder's executable and waits for
// each to be gone, so that no file of the client is in use when it is replaced.
bool UpdateEngine::StopClient() {
    const std::optional<std::vector<uint32_t>> ids = platform::ListProcessIds();
    if (!ids) return false;
    if (!clientFolder_) return true;
    const std::string client = InFolder(kClientExecutable);
    for (const uint32_t id : *ids) {
        const std::unique_ptr<platform::ProcessHandle> process = platform::OpenProcessById(id);
        if (process == nullptr || !SameTextIgnoringCase(process->ExecutablePath(), client)) continue;
        if (!process->Terminate(kTerminatedExitCode) || !process->WaitForExit(services_.clientExitWaitMs))
            reporter_.ShowMessage(kClientExitFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
    }
    return true;
}

InstallResult UpdateEngine::InstallAll() {
    const int count = int(Entries().size());
    for (int i = 0; i < count; ++i) {
        flags_.packageCount.store(count);
        flags_.currentIndex.store(i);
        if (!UnpackPackage(Entries()[std::size_t(i)])) return InstallResult::UnpackFailed;
        const std::optional<std::vector<FileAction>> actions = ReadUpdateInfo();
        if (!actions) return InstallResult::ScriptFailed;
        ApplyFileActions(i, *actions);
        if (!files_.CleanWorkFolders()) return InstallResult::CleanFailed;
    }
    flags_.installFinished.store(1);
    return InstallResult::Installed;
}

bool UpdateEngine::UnpackPackage(const UpdateEntry& entry) {
    if (!clientFolder_) {
        reporter_.ShowMessage(kUnpackFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
        return false;
    }
    const std::string target = InFolder(kWorkFolder);
    platform::MakeFolder(target);
    platform::MakeFolder(InFolder(kBackupFolder));
    // A refused name was never downloaded: the library then reports, as for
    // any missing archive, that the client folder itself is no archive.
    const std::string name = ArchiveNameOf(entry.url);
    const std::string archive = InFolder(name.c_str());
    if (!UnzipArchive(InFolder(services_.unzipLibraryName.c_str()), archive, target, reporter_)) {
        reporter_.ShowMessage(kUnpackFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
        return false;
    }
    if (!name.empty()) platform::RemoveFile(archive);
    return true;
}

std::optional<std::vector<FileAction>> UpdateEngine::ReadUpdateInfo() {
    std::optional<std::string> text;
    if (clientFolder_) {
        const std::string script = InFolder(kWorkFolder) + services_.separator + kScriptFile;
        text = platform::ReadWholeFile(script, services_.maxDocumentBytes);
    }
    if (!text) {
        reporter_.ShowMessage(kOpenScriptFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
        return std::nullopt;
    }
    const std::optional<platform::XmlNode> document = platform::ParseXmlDocument(JoinLines(*text));
    if (!document) {
        reporter_.ShowMessage(kScriptFailed, MessageCaption::Application, MessageIcon::None);
        return std::nullopt;
    }
    std::vector<FileAction> actions;
    if (!ReadScriptTree(*document, actions)) return std::nullopt;
    return actions;
}

// A failing action does not stop the others.
void UpdateEngine::ApplyFileActions(int row, const std::vector<FileAction>& actions) {
    if (actions.empty()) return;
    reporter_.SetRowStatus(row, kInstalling);
    for (const FileAction& action : actions) files_.Apply(action);
    reporter_.SetRowStatus(row, kInstallDone);
}

bool UpdateEngine::StartClient() {
    if (!clientFolder_) return false;
    return platform::StartProgram(InFolder(kClientExecutable), HighestVersion(Entries()));
}

}  // namespace update
