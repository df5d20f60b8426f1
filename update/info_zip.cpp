#include "update/info_zip.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/file_system.h"
#include "platform/shared_library.h"
#include "update/update_texts.h"

namespace update {

namespace {

constexpr std::size_t kZipMessageSize = 1024;
constexpr std::size_t kFileSpecSize = 261;

// The callback has no context argument; extraction runs on one thread and
// the reporter of that run is found here.
thread_local UpdateReporter* currentReporter = nullptr;

class ReporterScope {
public:
    explicit ReporterScope(UpdateReporter& reporter) : saved_(currentReporter) { currentReporter = &reporter; }
    ~ReporterScope() { currentReporter = saved_; }

private:
    UpdateReporter* saved_;
};

}  // namespace

CInfoZip::CInfoZip(std::string libraryPath) : libraryPath_(std::move(libraryPath)) {}

// Also a library that lacked an entry point, which FreeUnzip leaves loaded.
CInfoZip::~CInfoZip() {
    if (library_ != nullptr) platform::UnloadLibrary(library_);
}

bool CInfoZip::InitUnzip() {
    if (Ready()) return true;
    if (library_ == nullptr) library_ = platform::LoadLibraryAt(libraryPath_);
    if (library_ == nullptr) return false;
    getVersion_ = reinterpret_cast<GetUnzDllVersionFn>(platform::LibrarySymbol(library_, "GetUnzDllVersion"));
    exec_ = reinterpret_cast<UnzDllExecFn>(platform::LibrarySymbol(library_, "UnzDllExec"));
    return Ready();
}

void CInfoZip::BuildUnzipCommand(UnzipCommand& command) {
    command.reserved0 = 0;
    command.reserved1 = 0;
    command.version = Ready() ? getVersion_() : 0;
    command.callback = UnzipMessageCallback;
    std::memset(command.options, 0, sizeof command.options);
    command.recreateFolders = 1;
    command.overwriteFiles = 1;
    command.fileSpecCount = 0;
    command.archivePath = nullptr;
    command.reportLevel = 7;
}

void CInfoZip::ExtractAll(const std::string& archive, const std::string& folder) {
    const std::string saved = platform::CurrentFolder();
    // Extraction goes into the current folder: where that cannot be the
    // target, nothing is extracted rather than something in the wrong place.
    if (!Ready() || !platform::ChangeCurrentFolder(folder)) return;
    auto command = std::make_unique<UnzipCommand>();
    std::memset(command.get(), 0, sizeof(UnzipCommand));
    BuildUnzipCommand(*command);
    const std::string archiveCopy = archive;
    std::vector<char> pattern(kFileSpecSize, '\0');
    std::memcpy(pattern.data(), "*.*", 3);
    command->archivePath = archiveCopy.c_str();
    command->fileSpecCount = 1;
    command->fileSpecs[0] = pattern.data();
    exec_(command.get());
    platform::ChangeCurrentFolder(saved);
}

void CInfoZip::FreeUnzip() {
    if (!Ready()) return;
    platform::UnloadLibrary(library_);
    library_ = nullptr;
    exec_ = nullptr;
    getVersion_ = nullptr;
}

bool UnzipArchive(const std::string& libraryPath, const std::string& archive, const std::string& folder,
                  UpdateReporter& reporter) {
    CInfoZip zip(libraryPath);
    if (!zip.InitUnzip()) return false;
    ReporterScope scope(reporter);
    zip.ExtractAll(archive, folder);
    zip.FreeUnzip();
    return true;
}

int UNZDLL_CALL UnzipMessageCallback(UnzipCallbackInfo* info) {
    if (info == nullptr || info->errorCode == 0 || currentReporter == nullptr) return 0;
    const std::size_t length = strnlen(info->message, sizeof info->message);
    const std::string message(info->message, length);
    char text[kZipMessageSize];
    std::snprintf(text, sizeof text, kZipErrorFormat, int(info->errorCode), message.c_str());
    currentReporter->ShowMessage(text, MessageCaption::MessageManager, MessageIcon::None);
    return 0;
}

}  // namespace update
