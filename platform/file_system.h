#pragma once
// Files and folders by path. Paths are GBK like every 8-bit text of the
// products; a path in UTF-8 says so by its type (names read from an archive,
// which GBK may not spell). Each backend turns both into the system's paths
// by one rule (natively UTF-8, on Windows wide text with "\" separators).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// "\" on Windows, "/" elsewhere.
extern const char kPathSeparator;

struct Utf8Path {
    std::string text;
};

// A path from a caller outside the products, which may be the system's own
// name: natively (where names are UTF-8) one that is valid UTF-8 is taken as
// it is; otherwise, and on Windows always, it is GBK.
Utf8Path CallerPath(const std::string& path);

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
// True when `path` is a folder afterwards, made now or there already; natively
// a link to a folder does not count.
bool EnsureFolder(const Utf8Path& path);
// Removes an empty folder (or a link to one).
bool RemoveEmptyFolder(const std::string& path);
bool RemoveFile(const std::string& path);
// Copies contents and permissions (on Windows also the attributes and the
// modification time) through a CommittingWriter with the suffix ".~copy",
// replacing `to` when it exists.
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

// Reads anywhere in a regular file opened once.
class FileReader {
public:
    virtual ~FileReader() = default;
    virtual uint64_t Size() const = 0;
    // True only when all `length` bytes at `offset` were read.
    virtual bool ReadAt(uint64_t offset, void* data, std::size_t length) = 0;
};

// Nothing when the file cannot be opened or is no regular file.
std::unique_ptr<FileReader> OpenFileReader(const std::string& path);
std::unique_ptr<FileReader> OpenFileReader(const Utf8Path& path);

// A calendar time of the local time zone.
struct LocalTime {
    int year, month, day;  // month and day from 1
    int hour, minute, second;
};

struct CommitOptions {
    bool replace = true;      // false: an existing file of the target's name is kept
    bool executable = false;  // natively: execute permission wherever there is read permission
    std::optional<LocalTime> modified;
};

enum class CommitResult { Done, Kept, Failed };

// A file written under a temporary name beside its target and given the
// target's name only by Commit, so that a target is never seen half written
// and a failed write leaves it as it was. The temporary name is the target's
// with the caller's suffix (".download"), numbered when a file of that name is
// there already ("1", "2", ...): it is created exclusively, never following
// or reusing what is there. Destroyed without a Commit that was Done, the
// writer removes its temporary file.
class CommittingWriter {
public:
    virtual ~CommittingWriter() = default;
    // False once anything written was lost; later writes then fail too.
    virtual bool Write(const void* data, std::size_t size) = 0;
    // Closes the file and renames it to the target; once only.
    virtual CommitResult Commit(const CommitOptions& options) = 0;
};

// Nothing when the temporary file cannot be created.
std::unique_ptr<CommittingWriter> CreateCommittingWriter(const std::string& path, std::string_view suffix);
std::unique_ptr<CommittingWriter> CreateCommittingWriter(const Utf8Path& path, std::string_view suffix);

}  // namespace platform
