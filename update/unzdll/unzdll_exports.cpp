// The library's C entry points: the command record checked and translated to
// the ZIP reader, its messages handed to the caller's callback.
#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "common/export_guard.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "update/unzdll/extract_messages.h"
#include "update/unzdll/unzdll.h"
#include "update/unzdll/zip_extractor.h"

// The layout the updater builds on 32-bit Windows.
static_assert(offsetof(UnzipCallbackInfo, errorCode) == 0x14);
static_assert(offsetof(UnzipCallbackInfo, message) == 0x1C);
static_assert(sizeof(void*) != 4 || offsetof(UnzipCommand, version) == 0x08);
static_assert(sizeof(void*) != 4 || offsetof(UnzipCommand, callback) == 0x0C);
static_assert(sizeof(void*) != 4 || offsetof(UnzipCommand, options) == 0x10);
static_assert(sizeof(void*) != 4 || offsetof(UnzipCommand, recreateFolders) == 0x38);
static_assert(sizeof(void*) != 4 || offsetof(UnzipCommand, overwriteFiles) == 0x3C);
static_assert(sizeof(void*) != 4 || offsetof(UnzipCommand, fileSpecCount) == 0x40);
static_assert(sizeof(void*) != 4 || offsetof(UnzipCommand, archivePath) == 0x44);
static_assert(sizeof(void*) != 4 || offsetof(UnzipCommand, reportLevel) == 0x48);
static_assert(sizeof(void*) != 4 || offsetof(UnzipCommand, fileSpecs) == 0x4C);

namespace unzdll {
namespace {

constexpr uint32_t kReportErrors = 1;
constexpr uint32_t kReportProgress = 4;

class CallbackReporter : public ExtractReporter {
public:
    CallbackReporter(UnzipMessageCallbackFn callback, uint32_t level) : callback_(callback), level_(level) {}

    void Report(uint32_t entryNumber, uint32_t entryCount, int code, const std::string& text) override {
        if (!callback_ || !(level_ & (code == UNZ_OK ? kReportProgress : kReportErrors))) return;
        UnzipCallbackInfo info{};
        info.size = sizeof info;
        info.entryNumber = entryNumber;
        info.entryCount = entryCount;
        info.errorCode = code;
        std::string message = text;
        TruncateGbk(message, sizeof info.message - 1);
        std::memcpy(info.message, message.data(), message.size());
        info.messageLength = uint32_t(message.size());
        callback_(&info);
    }

private:
    UnzipMessageCallbackFn callback_;
    uint32_t level_;
};

bool UsableCommand(const UnzipCommand& command) {
    if (!command.archivePath || command.fileSpecCount < 0 || command.fileSpecCount > UNZDLL_MAX_FILE_SPECS)
        return false;
    for (int i = 0; i < command.fileSpecCount; ++i)
        if (!command.fileSpecs[i]) return false;
    return true;
}

ExtractOptions OptionsOf(const UnzipCommand& command) {
    std::vector<std::string> patterns;
    for (int i = 0; i < command.fileSpecCount; ++i) patterns.push_back(platform::GbkToUtf8(command.fileSpecs[i]));
    ExtractOptions options;
    options.specs = FileSpecs(std::move(patterns));
    options.recreateFolders = command.recreateFolders != 0;
    options.replaceFiles = command.overwriteFiles != 0;
    return options;
}

int Execute(const UnzipCommand& command, CallbackReporter& reporter) {
    if (!UsableCommand(command)) {
        reporter.Report(0, 0, UNZ_ERR_COMMAND, CommandMessage());
        return -1;
    }
    const std::string archivePath = command.archivePath;
    std::unique_ptr<platform::FileReader> source = platform::OpenFileReader(platform::CallerPath(archivePath));
    if (!source) {
        reporter.Report(0, 0, UNZ_ERR_OPEN, ArchiveMessage(ArchiveProblem::CannotOpen, archivePath));
        return -1;
    }
    std::unique_ptr<ExtractTarget> target = CurrentFolderTarget();
    const ExtractOptions options = OptionsOf(command);
    return ZipExtractor(*source, *target, options, reporter).Run(archivePath);
}

}  // namespace
}  // namespace unzdll

extern "C" {

int UNZDLL_CALL GetUnzDllVersion(void) { return UNZDLL_VERSION; }

int UNZDLL_CALL UnzDllExec(const UnzipCommand* command) {
    if (!command) return -1;
    unzdll::CallbackReporter reporter(command->callback, command->reportLevel);
    return common::GuardedOr(-1, [&] {
        try {
            return unzdll::Execute(*command, reporter);
        } catch (const std::bad_alloc&) {
            reporter.Report(0, 0, UNZ_ERR_MEMORY, unzdll::MemoryMessage());
            return -1;
        }
    });
}

}  // extern "C"
