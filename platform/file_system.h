#pragma once
// Files and folders by path. Paths are GBK like every 8-bit text of the
// products (natively they become UTF-8 at the system call); separators are the
// platform's own.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// "\" on Windows, "/" elsewhere.
extern const char kPathSeparator;

enum class EntryKind { File, Folder, Link };

struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::File;
};

bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
// Read-only as the system sees it: the attribute on Windows, no owner write permission elsewhere.
bool IsReadOnly(const std::string& path);
bool ClearReadOnly(const std::string& path);
// False also when something of that name exists already.
bool MakeFolder(const std::string& path);
// Removes an empty folder (or a link to one).
bool RemoveEmptyFolder(const std::string& path);
bool RemoveFile(const std::string& path);
// Copies contents and permissions, replacing `to` when it exists.
bool CopyFileOver(const std::string& from, const std::string& to);
// Renames `from` to `to`, replacing `to` when it exists.
bool RenameOver(const std::string& from, const std::string& to);
// The folder's entries without "." and ".."; nothing when it cannot be read.
std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path);
// The whole file; nothing when it cannot be read or holds more than maxBytes.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes);
// Empty when the system cannot tell.
std::string CurrentFolder();
bool ChangeCurrentFolder(const std::string& path);

// A file written from the start, replacing what was there.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    virtual bool Write(const char* data, std::size_t size) = 0;
    // Flushes and closes; false when anything written was lost.
    virtual bool Close() = 0;
};

// Nothing when the file cannot be created.
std::unique_ptr<FileWriter> CreateFileWriter(const std::string& path);

}  // namespace platform
