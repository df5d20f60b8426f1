#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// What the ZIP reader needs from the file system: positioned reads of the
// archive, and folders and files created relative to the folder it extracts
// into. One backend per platform; the fuzz target has an in-memory one.
namespace unzdll {

class ArchiveSource {
public:
    virtual ~ArchiveSource() = default;
    virtual uint64_t Size() const = 0;
    // True only when all `length` bytes at `offset` were read.
    virtual bool ReadAt(uint64_t offset, uint8_t* data, size_t length) = 0;
};

enum class CommitResult { kDone, kKept, kFailed };

// A file being written under a temporary name beside its final one. Destroyed
// without a successful Commit, it removes the temporary file.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual bool Write(const uint8_t* data, size_t length) = 0;
    // Closes the file and gives it its final name: kKept when a file of that
    // name exists and `replace` is false. `dosDateTime` is the entry's
    // MS-DOS date (high word) and time (low word), in local time.
    virtual CommitResult Commit(bool replace, bool executable, uint32_t dosDateTime) = 0;
};

// Paths are relative, UTF-8, with "/" between components that the caller has
// checked (no empty, "." or ".." component, no separator or drive inside).
class ExtractTarget {
public:
    virtual ~ExtractTarget() = default;
    // True when `path` is a folder afterwards (created, or there already).
    virtual bool MakeFolder(const std::string& path) = 0;
    // Null when the temporary file cannot be created.
    virtual std::unique_ptr<OutputFile> OpenOutputFile(const std::string& path) = 0;
};

// Backends. The archive path is GBK like every 8-bit path the updater passes
// (see OpenArchiveFile natively); null when the archive cannot be opened.
std::unique_ptr<ArchiveSource> OpenArchiveFile(const std::string& path);
std::unique_ptr<ExtractTarget> CurrentFolderTarget();

}  // namespace unzdll
