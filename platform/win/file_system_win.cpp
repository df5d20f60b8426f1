#include <windows.h>

#include <string>

#include "platform/file_system.h"
#include "platform/temporary_file.h"
#include "platform/text_encoding.h"
#include "platform/win/wide_text.h"

namespace platform {

const char kPathSeparator = '\\';

namespace {

constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;
constexpr char kCopySuffix[] = ".~copy";
constexpr int kTemporaryAttempts = 100;

// GBK or UTF-8, whatever the system's code page: the wide calls take them
// converted, with "\" between components.
std::wstring Wide(std::wstring path) {
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}
std::wstring W(const std::string& path) { return Wide(GbkToWide(path)); }
std::wstring W(const Utf8Path& path) { return Wide(Utf8ToWide(path.text)); }

DWORD Attributes(const std::string& path) { return GetFileAttributesW(W(path).c_str()); }

bool IsReadOnlyFile(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != kNoAttributes && (a & FILE_ATTRIBUTE_READONLY) && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Local calendar time to the system's time; nothing for one that does not exist.
bool SystemTimeOf(const LocalTime& time, FILETIME& utc) {
    const SYSTEMTIME local{WORD(time.year), WORD(time.month), 0, WORD(time.day),
                           WORD(time.hour), WORD(time.minute), WORD(time.second), 0};
    FILETIME localFile;
    return SystemTimeToFileTime(&local, &localFile) && LocalFileTimeToFileTime(&localFile, &utc);
}

class WinCommittingWriter final : public TemporaryFile {
public:
    WinCommittingWriter(HANDLE file, std::wstring temporary, std::wstring target)
        : file_(file), temporary_(std::move(temporary)), target_(std::move(target)) {}
    ~WinCommittingWriter() override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        Drop();
    }
    bool Write(const void* data, std::size_t size) override {
        const auto* at = static_cast<const char*>(data);
        while (ok_ && size > 0) {
            const DWORD chunk = size > 0x10000000 ? 0x10000000 : DWORD(size);
            DWORD written = 0;
            ok_ = file_ != INVALID_HANDLE_VALUE && WriteFile(file_, at, chunk, &written, nullptr) && written == chunk;
            at += chunk;
            size -= chunk;
        }
        return ok_;
    }
    // The modification time for the file, as a copy takes it from its source.
    void SetModified(const FILETIME& utc) { SetFileTime(file_, nullptr, nullptr, &utc); }
    CommitResult Commit(const CommitOptions& options) override {
        if (file_ == INVALID_HANDLE_VALUE) return CommitResult::Failed;
        FILETIME utc;
        if (options.modified && SystemTimeOf(*options.modified, utc)) SetModified(utc);
        return Finish(options.replace);
    }

private:
    bool Close() override {
        ok_ = CloseHandle(file_) && ok_;
        file_ = INVALID_HANDLE_VALUE;
        return ok_;
    }
    CommitResult Rename(bool replace) override {
        if (Move(replace)) return CommitResult::Done;
        const DWORD error = GetLastError();
        if (!replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) return CommitResult::Kept;
        // A read-only file is replaced like any other.
        if (!replace || !IsReadOnlyFile(target_) ||
            !SetFileAttributesW(target_.c_str(), GetFileAttributesW(target_.c_str()) & ~FILE_ATTRIBUTE_READONLY) ||
            !Move(true))
            return CommitResult::Failed;
        return CommitResult::Done;
    }
    void Remove() override { DeleteFileW(temporary_.c_str()); }
    bool Move(bool replace) {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
        return MoveFileExW(temporary_.c_str(), target_.c_str(), flags) != 0;
    }

    HANDLE file_;
    std::wstring temporary_;
    std::wstring target_;
    bool ok_ = true;
};

// In the target's own folder, the final rename never crosses a volume.
std::unique_ptr<WinCommittingWriter> CommittingWriterAt(const std::wstring& target, std::string_view suffix) {
    const std::wstring wideSuffix = Utf8ToWide(suffix);
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        std::wstring temporary = target + wideSuffix + (attempt > 0 ? std::to_wstring(attempt) : std::wstring());
        const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file != INVALID_HANDLE_VALUE) return std::make_unique<WinCommittingWriter>(file, std::move(temporary), target);
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return nullptr;
    }
    return nullptr;
}

// Copies an open file into a writer; false on any failed read or write.
bool CopyContents(HANDLE from, CommittingWriter& to) {
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(from, buffer, sizeof buffer, &n, nullptr)) return false;
        if (n == 0) return true;
        if (!to.Write(buffer, n)) return false;
    }
}

class WinFileReader final : public FileReader {
public:
    WinFileReader(HANDLE file, uint64_t size) : file_(file), size_(size) {}
    ~WinFileReader() override { CloseHandle(file_); }
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* data, std::size_t length) override {
        auto* at = static_cast<char*>(data);
        while (length > 0) {
            OVERLAPPED where{};
            where.Offset = DWORD(offset);
            where.OffsetHigh = DWORD(offset >> 32);
            DWORD read = 0;
            const DWORD want = DWORD(length < (1u << 30) ? length : (1u << 30));
            if (!ReadFile(file_, at, want, &read, &where) || read == 0) return false;
            at += read;
            offset += read;
            length -= read;
        }
        return true;
    }

private:
    HANDLE file_;
    uint64_t size_;
};

}  // namespace

bool PathExists(const std::string& path) { return Attributes(path) != kNoAttributes; }

bool IsFolder(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != kNoAttributes && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsReadOnly(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != kNoAttributes && (a & FILE_ATTRIBUTE_READONLY) != 0;
}

bool ClearReadOnly(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != kNoAttributes && SetFileAttributesW(W(path).c_str(), a & ~DWORD(FILE_ATTRIBUTE_READONLY));
}

bool MakeFolder(const std::string& path) { return CreateDirectoryW(W(path).c_str(), nullptr) != 0; }

bool EnsureFolder(const Utf8Path& path) {
    const std::wstring wide = W(path);
    if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
    const DWORD a = GetFileAttributesW(wide.c_str());
    return a != kNoAttributes && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool RemoveEmptyFolder(const std::string& path) { return RemoveDirectoryW(W(path).c_str()) != 0; }

bool RemoveFile(const std::string& path) {
    const DWORD a = Attributes(path);
    // A link to a folder is removed as a folder, never followed.
    if (a != kNoAttributes && (a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT))
        return RemoveDirectoryW(W(path).c_str()) != 0;
    return DeleteFileW(W(path).c_str()) != 0;
}

// What CopyFileW would keep of the source: its attributes and modification time.
bool CopyFileOver(const std::string& from, const std::string& to) {
    const HANDLE in = CreateFileW(W(from).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    std::unique_ptr<WinCommittingWriter> out;
    if (GetFileInformationByHandle(in, &info)) out = CommittingWriterAt(W(to), kCopySuffix);
    const bool copied = out != nullptr && CopyContents(in, *out);
    CloseHandle(in);
    if (!copied) return false;
    out->SetModified(info.ftLastWriteTime);
    if (out->Commit({}) != CommitResult::Done) return false;
    if (info.dwFileAttributes != FILE_ATTRIBUTE_NORMAL) SetFileAttributesW(W(to).c_str(), info.dwFileAttributes);
    return true;
}

bool RenameOver(const std::string& from, const std::string& to) {
    return MoveFileExW(W(from).c_str(), W(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(W(path + "\\*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND && IsFolder(path)) return std::vector<FolderEntry>{};
        return std::nullopt;
    }
    std::vector<FolderEntry> entries;
    do {
        const std::string name = WideToGbk(data.cFileName);
        if (name == "." || name == "..") continue;
        EntryKind kind = EntryKind::File;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) kind = EntryKind::Link;
        else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) kind = EntryKind::Folder;
        entries.push_back({name, kind});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return entries;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string text;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
            ok = false;
            break;
        }
        if (n == 0) break;
        if (text.size() + n > maxBytes) {
            ok = false;
            break;
        }
        text.append(buffer, n);
    }
    CloseHandle(file);
    if (!ok) return std::nullopt;
    return text;
}

std::string CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return {};
    std::wstring buffer(needed, L'\0');
    const DWORD n = GetCurrentDirectoryW(needed, buffer.data());
    if (n == 0 || n >= needed) return {};
    buffer.resize(n);
    return WideToGbk(buffer);
}

bool ChangeCurrentFolder(const std::string& path) {
    return !path.empty() && SetCurrentDirectoryW(W(path).c_str()) != 0;
}

Utf8Path CallerPath(const std::string& path) { return {GbkToUtf8(path)}; }

std::unique_ptr<FileReader> OpenFileReader(const Utf8Path& path) {
    const HANDLE file =
        CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<WinFileReader>(file, uint64_t(size.QuadPart));
}

std::unique_ptr<CommittingWriter> CreateCommittingWriter(const Utf8Path& path, std::string_view suffix) {
    return CommittingWriterAt(W(path), suffix);
}

}  // namespace platform
