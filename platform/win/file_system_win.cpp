#include <windows.h>

#include "platform/file_system.h"
#include "platform/win/wide_text.h"

namespace platform {

const char kPathSeparator = '\\';

namespace {

constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;

// Paths are GBK whatever the system's code page: the wide calls take them converted.
std::wstring W(const std::string& path) { return GbkToWide(path); }

DWORD Attributes(const std::string& path) { return GetFileAttributesW(W(path).c_str()); }

class WinFileWriter final : public FileWriter {
public:
    explicit WinFileWriter(HANDLE file) : file_(file) {}
    ~WinFileWriter() override { Close(); }
    bool Write(const char* data, std::size_t size) override {
        while (ok_ && size > 0) {
            const DWORD chunk = size > 0x10000000 ? 0x10000000 : DWORD(size);
            DWORD written = 0;
            ok_ = file_ != INVALID_HANDLE_VALUE && WriteFile(file_, data, chunk, &written, nullptr) && written == chunk;
            data += chunk;
            size -= chunk;
        }
        return ok_;
    }
    bool Close() override {
        if (file_ == INVALID_HANDLE_VALUE) return ok_;
        ok_ = CloseHandle(file_) && ok_;
        file_ = INVALID_HANDLE_VALUE;
        return ok_;
    }

private:
    HANDLE file_;
    bool ok_ = true;
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

bool RemoveEmptyFolder(const std::string& path) { return RemoveDirectoryW(W(path).c_str()) != 0; }

bool RemoveFile(const std::string& path) {
    const DWORD a = Attributes(path);
    // A link to a folder is removed as a folder, never followed.
    if (a != kNoAttributes && (a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT))
        return RemoveDirectoryW(W(path).c_str()) != 0;
    return DeleteFileW(W(path).c_str()) != 0;
}

bool CopyFileOver(const std::string& from, const std::string& to) {
    return CopyFileW(W(from).c_str(), W(to).c_str(), FALSE) != 0;
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

std::unique_ptr<FileWriter> CreateFileWriter(const std::string& path) {
    HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WinFileWriter>(file);
}

}  // namespace platform
