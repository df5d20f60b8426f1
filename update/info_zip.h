#pragma once
// The unzip library, bound at run time from the updater's own folder.
#include <memory>
#include <string>

#include "update/unzdll/unzdll.h"
#include "update/update_reporter.h"

namespace update {

class CInfoZip {
public:
    // `libraryPath`: the library's full path in the client folder.
    explicit CInfoZip(std::string libraryPath);
    virtual ~CInfoZip();
    CInfoZip(const CInfoZip&) = delete;
    CInfoZip& operator=(const CInfoZip&) = delete;

    // The library loaded and both entry points found.
    bool Ready() const { return library_ != nullptr && exec_ != nullptr && getVersion_ != nullptr; }
    bool InitUnzip();
    // Extracts every entry of `archive` into `folder`; the current folder is
    // the same afterwards. Problems reach the user through the callback.
    void ExtractAll(const std::string& archive, const std::string& folder);
    void FreeUnzip();
    void BuildUnzipCommand(UnzipCommand& command);

private:
    std::string libraryPath_;
    void* library_ = nullptr;
    UnzDllExecFn exec_ = nullptr;
    GetUnzDllVersionFn getVersion_ = nullptr;
};

// Unpacks `archive` into `folder` with the library at `libraryPath`, showing
// the library's problem reports through `reporter`. False when the library
// cannot be loaded.
bool UnzipArchive(const std::string& libraryPath, const std::string& archive, const std::string& folder,
                  UpdateReporter& reporter);

// The library's message callback: a report with an error code becomes a
// "Zip error" message of the reporter that UnzipArchive is running for.
int UNZDLL_CALL UnzipMessageCallback(UnzipCallbackInfo* info);

}  // namespace update
