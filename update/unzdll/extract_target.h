#pragma once
#include <memory>
#include <string>

#include "platform/file_system.h"

// Where the ZIP reader puts what it extracts: folders and files made relative
// to the folder it extracts into. The fuzz target has an in-memory one.
namespace unzdll {

// Paths are relative, UTF-8, with "/" between components that the caller has
// checked (no empty, "." or ".." component, no separator or drive inside).
class ExtractTarget {
public:
    virtual ~ExtractTarget() = default;
    // True when `path` is a folder afterwards (created, or there already).
    virtual bool MakeFolder(const std::string& path) = 0;
    // Null when the file cannot be started.
    virtual std::unique_ptr<platform::CommittingWriter> OpenOutputFile(const std::string& path) = 0;
};

// The process's current folder, through the platform's files.
std::unique_ptr<ExtractTarget> CurrentFolderTarget();

}  // namespace unzdll
