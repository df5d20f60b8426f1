#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>

#include "common/utf8_text.h"
#include "platform/file_system.h"
#include "platform/temporary_file.h"
#include "platform/text_encoding.h"

namespace platform {

const char kPathSeparator = '/';

namespace {

constexpr char kCopySuffix[] = ".~copy";
constexpr int kTemporaryAttempts = 100;

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

// The products' paths are GBK like all their text; names on disk are UTF-8.
std::string Native(const std::string& path) { return GbkToUtf8(path); }
const std::string& Native(const Utf8Path& path) { return path.text; }

// Local calendar time to the system's time; nothing for one that does not exist.
std::optional<time_t> SystemTimeOf(const LocalTime& time) {
    std::tm local{};
    local.tm_year = time.year - 1900;
    local.tm_mon = time.month - 1;
    local.tm_mday = time.day;
    local.tm_hour = time.hour;
    local.tm_min = time.minute;
    local.tm_sec = time.second;
    local.tm_isdst = -1;
    const time_t when = ::mktime(&local);
    if (when == time_t(-1)) return std::nullopt;
    return when;
}

class PosixCommittingWriter final : public TemporaryFile {
public:
    PosixCommittingWriter(int fd, std::string temporary, std::string target)
        : fd_(fd), temporary_(std::move(temporary)), target_(std::move(target)) {}
    ~PosixCommittingWriter() override {
        if (fd_ >= 0) ::close(fd_);
        Drop();
    }
    bool Write(const void* data, std::size_t size) override {
        ok_ = ok_ && fd_ >= 0 && WriteAll(fd_, static_cast<const char*>(data), size);
        return ok_;
    }
    // Permission bits for the file, as a copy takes them from its source.
    bool SetMode(mode_t mode) { return fd_ >= 0 && ::fchmod(fd_, mode) == 0; }
    CommitResult Commit(const CommitOptions& options) override {
        if (fd_ < 0) return CommitResult::Failed;
        struct stat st{};
        if (options.executable && ::fstat(fd_, &st) == 0) SetMode(st.st_mode | (st.st_mode & 0444) >> 2);
        if (options.modified) SetModified(*options.modified);
        return Finish(options.replace);
    }

private:
    bool Close() override {
        ok_ = (::close(fd_) == 0) && ok_;
        fd_ = -1;
        return ok_;
    }
    CommitResult Rename(bool replace) override {
        struct stat st{};
        if (!replace && ::lstat(target_.c_str(), &st) == 0) return CommitResult::Kept;
        return ::rename(temporary_.c_str(), target_.c_str()) == 0 ? CommitResult::Done : CommitResult::Failed;
    }
    void Remove() override { ::unlink(temporary_.c_str()); }
    void SetModified(const LocalTime& time) {
        const std::optional<time_t> when = SystemTimeOf(time);
        if (!when) return;
        const timespec times[2] = {{*when, 0}, {*when, 0}};
        ::futimens(fd_, times);
    }

    int fd_;
    std::string temporary_;
    std::string target_;
    bool ok_ = true;
};

std::unique_ptr<PosixCommittingWriter> CommittingWriterAt(const std::string& target, std::string_view suffix) {
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        std::string temporary = target + std::string(suffix) + (attempt > 0 ? std::to_string(attempt) : "");
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return std::make_unique<PosixCommittingWriter>(fd, std::move(temporary), target);
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

// Copies an open file into a writer; false on any short read or write.
bool CopyContents(int from, CommittingWriter& to) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!to.Write(buffer, std::size_t(n))) return false;
    }
}

class PosixFileReader final : public FileReader {
public:
    PosixFileReader(int fd, uint64_t size) : fd_(fd), size_(size) {}
    ~PosixFileReader() override { ::close(fd_); }
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* data, std::size_t length) override {
        auto* at = static_cast<char*>(data);
        while (length > 0) {
            const ssize_t n = ::pread(fd_, at, length, off_t(offset));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            at += n;
            offset += uint64_t(n);
            length -= std::size_t(n);
        }
        return true;
    }

private:
    int fd_;
    uint64_t size_;
};

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

bool EnsureFolder(const Utf8Path& path) {
    if (::mkdir(Native(path).c_str(), 0777) == 0) return true;
    struct stat st{};
    return errno == EEXIST && ::lstat(Native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveEmptyFolder(const std::string& path) {
    struct stat st{};
    if (::lstat(Native(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return ::unlink(Native(path).c_str()) == 0;
    return ::rmdir(Native(path).c_str()) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(Native(path).c_str()) == 0; }

// A running program's file can be replaced this way.
bool CopyFileOver(const std::string& from, const std::string& to) {
    const int in = ::open(Native(from).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st{};
    std::unique_ptr<PosixCommittingWriter> out;
    if (::fstat(in, &st) == 0 && S_ISREG(st.st_mode)) out = CommittingWriterAt(Native(to), kCopySuffix);
    const bool copied = out != nullptr && CopyContents(in, *out) && out->SetMode(st.st_mode & 07777);
    ::close(in);
    return copied && out->Commit({}) == CommitResult::Done;
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

Utf8Path CallerPath(const std::string& path) { return {common::IsValidUtf8(path) ? path : GbkToUtf8(path)}; }

std::unique_ptr<FileReader> OpenFileReader(const Utf8Path& path) {
    const int fd = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<PosixFileReader>(fd, uint64_t(st.st_size));
}

std::unique_ptr<CommittingWriter> CreateCommittingWriter(const Utf8Path& path, std::string_view suffix) {
    return CommittingWriterAt(Native(path), suffix);
}

}  // namespace platform
