#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "platform/file_system.h"
#include "platform/text_encoding.h"

namespace platform {

const char kPathSeparator = '/';

namespace {

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

class PosixFileWriter final : public FileWriter {
public:
    explicit PosixFileWriter(int fd) : fd_(fd) {}
    ~PosixFileWriter() override { Close(); }
    bool Write(const char* data, std::size_t size) override {
        ok_ = ok_ && fd_ >= 0 && WriteAll(fd_, data, size);
        return ok_;
    }
    bool Close() override {
        if (fd_ < 0) return ok_;
        ok_ = (::close(fd_) == 0) && ok_;
        fd_ = -1;
        return ok_;
    }

private:
    int fd_;
    bool ok_ = true;
};

// Copies an open file into a new one; false on any short read or write.
bool CopyContents(int from, int to) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!WriteAll(to, buffer, std::size_t(n))) return false;
    }
}

// The updater's paths are GBK like all its text; names on disk are UTF-8.
std::string Native(const std::string& path) { return GbkToUtf8(path); }

}  // namespace

bool PathExists(const std::string& path) {
    struct stat st{};
    return ::lstat(Native(path).c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat st{};
    return ::stat(Native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsReadOnly(const std::string& path) {
    struct stat st{};
    return ::stat(Native(path).c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

bool ClearReadOnly(const std::string& path) {
    struct stat st{};
    return ::stat(Native(path).c_str(), &st) == 0 && ::chmod(Native(path).c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool MakeFolder(const std::string& path) { return ::mkdir(Native(path).c_str(), 0777) == 0; }

bool RemoveEmptyFolder(const std::string& path) {
    struct stat st{};
    if (::lstat(Native(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return ::unlink(Native(path).c_str()) == 0;
    return ::rmdir(Native(path).c_str()) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(Native(path).c_str()) == 0; }

// Written beside the target under a temporary name and renamed over it, so the
// target is never seen half-copied and a running program's file can be replaced.
bool CopyFileOver(const std::string& from, const std::string& to) {
    const int in = ::open(Native(from).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st{};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    const std::string temporary = Native(to) + ".~copy";
    const int out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = CopyContents(in, out) && ::fchmod(out, st.st_mode & 07777) == 0;
    ok = (::close(out) == 0) && ok;
    ::close(in);
    ok = ok && ::rename(temporary.c_str(), Native(to).c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

bool RenameOver(const std::string& from, const std::string& to) { return ::rename(Native(from).c_str(), Native(to).c_str()) == 0; }

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) {
    DIR* dir = ::opendir(Native(path).c_str());
    if (dir == nullptr) return std::nullopt;
    std::vector<FolderEntry> entries;
    while (dirent* d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        struct stat st{};
        EntryKind kind = EntryKind::File;
        if (::lstat((Native(path) + "/" + name).c_str(), &st) == 0) {
            if (S_ISLNK(st.st_mode)) kind = EntryKind::Link;
            else if (S_ISDIR(st.st_mode)) kind = EntryKind::Folder;
        }
        entries.push_back({Utf8ToGbk(name), kind});
    }
    ::closedir(dir);
    return entries;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    const int fd = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string text;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (text.size() + std::size_t(n) > maxBytes) {
            ok = false;
            break;
        }
        text.append(buffer, std::size_t(n));
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    return text;
}

std::string CurrentFolder() {
    std::string buffer(PATH_MAX, '\0');
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) return {};
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return Utf8ToGbk(buffer);
}

bool ChangeCurrentFolder(const std::string& path) { return !path.empty() && ::chdir(Native(path).c_str()) == 0; }

std::unique_ptr<FileWriter> CreateFileWriter(const std::string& path) {
    const int fd = ::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixFileWriter>(fd);
}

}  // namespace platform
