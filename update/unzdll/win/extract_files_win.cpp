// Win32 files for the ZIP reader, through the wide API so that names come out
// right whatever the system's code page.
#include <windows.h>

#include <algorithm>

#include "platform/win/wide_text.h"
#include "update/unzdll/extract_files.h"

namespace unzdll {
namespace {

std::wstring WidePath(const std::string& utf8) {
    std::wstring path = platform::Utf8ToWide(utf8);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

class WinArchive : public ArchiveSource {
public:
    WinArchive(HANDLE file, uint64_t size) : file_(file), size_(size) {}
    ~WinArchive() override { CloseHandle(file_); }

    uint64_t Size() const override { return size_; }

    bool ReadAt(uint64_t offset, uint8_t* data, size_t length) override {
        while (length > 0) {
            OVERLAPPED at{};
            at.Offset = DWORD(offset);
            at.OffsetHigh = DWORD(offset >> 32);
            DWORD read = 0;
            const DWORD want = DWORD(std::min<size_t>(length, 1u << 30));
            if (!ReadFile(file_, data, want, &read, &at) || read == 0) return false;
            data += read;
            offset += read;
            length -= read;
        }
        return true;
    }

private:
    HANDLE file_;
    uint64_t size_;
};

// MS-DOS date and time are local time; 0 means none was stored.
void SetModified(HANDLE file, uint32_t dosDateTime) {
    FILETIME local, utc;
    if (dosDateTime >> 16 == 0 || !DosDateTimeToFileTime(WORD(dosDateTime >> 16), WORD(dosDateTime), &local) ||
        !LocalFileTimeToFileTime(&local, &utc))
        return;
    SetFileTime(file, nullptr, nullptr, &utc);
}

bool IsReadOnlyFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class WinOutputFile : public OutputFile {
public:
    WinOutputFile(HANDLE file, std::wstring temporary, std::wstring final)
        : file_(file), temporary_(std::move(temporary)), final_(std::move(final)) {}

    ~WinOutputFile() override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        if (!committed_) DeleteFileW(temporary_.c_str());
    }

    bool Write(const uint8_t* data, size_t length) override {
        while (length > 0) {
            DWORD written = 0;
            const DWORD want = DWORD(std::min<size_t>(length, 1u << 30));
            if (!WriteFile(file_, data, want, &written, nullptr) || written == 0) return false;
            data += written;
            length -= written;
        }
        return true;
    }

    CommitResult Commit(bool replace, bool, uint32_t dosDateTime) override {
        SetModified(file_, dosDateTime);
        const BOOL closed = CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        if (!closed) return CommitResult::kFailed;
        if (!Move(replace)) {
            const DWORD error = GetLastError();
            if (!replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) return CommitResult::kKept;
            // A read-only file is replaced like any other.
            if (!replace || !IsReadOnlyFile(final_) ||
                !SetFileAttributesW(final_.c_str(), GetFileAttributesW(final_.c_str()) & ~FILE_ATTRIBUTE_READONLY) ||
                !Move(true))
                return CommitResult::kFailed;
        }
        committed_ = true;
        return CommitResult::kDone;
    }

private:
    bool Move(bool replace) {
        return MoveFileExW(temporary_.c_str(), final_.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
    }

    HANDLE file_;
    std::wstring temporary_;
    std::wstring final_;
    bool committed_ = false;
};

class CurrentFolder : public ExtractTarget {
public:
    bool MakeFolder(const std::string& path) override {
        const std::wstring wide = WidePath(path);
        if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    // The system picks a unique temporary name in the file's own folder and
    // creates it, so the final rename never crosses a volume.
    std::unique_ptr<OutputFile> OpenOutputFile(const std::string& path) override {
        const std::wstring final = WidePath(path);
        const size_t slash = final.rfind(L'\\');
        const std::wstring folder = slash == std::wstring::npos ? L"." : final.substr(0, slash);
        wchar_t temporary[MAX_PATH];
        if (!GetTempFileNameW(folder.c_str(), L"unz", 0, temporary)) return nullptr;
        const HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            DeleteFileW(temporary);
            return nullptr;
        }
        return std::make_unique<WinOutputFile>(file, temporary, final);
    }
};

}  // namespace

std::unique_ptr<ArchiveSource> OpenArchiveFile(const std::string& path) {
    const HANDLE file = CreateFileW(platform::GbkToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<WinArchive>(file, uint64_t(size.QuadPart));
}

std::unique_ptr<ExtractTarget> CurrentFolderTarget() { return std::make_unique<CurrentFolder>(); }

}  // namespace unzdll
