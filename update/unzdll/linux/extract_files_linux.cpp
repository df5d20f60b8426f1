// POSIX files for the ZIP reader. Names on disk are UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "common/utf8_text.h"
#include "platform/text_encoding.h"
#include "update/unzdll/extract_files.h"

namespace unzdll {
namespace {

class PosixArchive : public ArchiveSource {
public:
    PosixArchive(int fd, uint64_t size) : fd_(fd), size_(size) {}
    ~PosixArchive() override { close(fd_); }

    uint64_t Size() const override { return size_; }

    bool ReadAt(uint64_t offset, uint8_t* data, size_t length) override {
        while (length > 0) {
            const ssize_t n = pread(fd_, data, length, off_t(offset));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            data += n;
            offset += uint64_t(n);
            length -= size_t(n);
        }
        return true;
    }

private:
    int fd_;
    uint64_t size_;
};

bool WriteAll(int fd, const uint8_t* data, size_t length) {
    while (length > 0) {
        const ssize_t n = write(fd, data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        length -= size_t(n);
    }
    return true;
}

// MS-DOS date and time are local time; 0 means none was stored.
void SetModified(int fd, uint32_t dosDateTime) {
    if (dosDateTime >> 16 == 0) return;
    std::tm local{};
    local.tm_year = int(dosDateTime >> 25) + 80;
    local.tm_mon = int(dosDateTime >> 21 & 0x0F) - 1;
    local.tm_mday = int(dosDateTime >> 16 & 0x1F);
    local.tm_hour = int(dosDateTime >> 11 & 0x1F);
    local.tm_min = int(dosDateTime >> 5 & 0x3F);
    local.tm_sec = int(dosDateTime & 0x1F) * 2;
    local.tm_isdst = -1;
    const time_t when = mktime(&local);
    if (when == time_t(-1)) return;
    const timespec times[2] = {{when, 0}, {when, 0}};
    futimens(fd, times);
}

class PosixOutputFile : public OutputFile {
public:
    PosixOutputFile(int fd, std::string temporary, std::string final)
        : fd_(fd), temporary_(std::move(temporary)), final_(std::move(final)) {}

    ~PosixOutputFile() override {
        if (fd_ >= 0) close(fd_);
        if (!committed_) unlink(temporary_.c_str());
    }

    bool Write(const uint8_t* data, size_t length) override { return WriteAll(fd_, data, length); }

    CommitResult Commit(bool replace, bool executable, uint32_t dosDateTime) override {
        struct stat info;
        // Execute permission for whoever may read, as the process's umask allowed.
        if (executable && fstat(fd_, &info) == 0) fchmod(fd_, info.st_mode | (info.st_mode & 0444) >> 2);
        SetModified(fd_, dosDateTime);
        const int closed = close(fd_);
        fd_ = -1;
        if (closed != 0) return CommitResult::kFailed;
        if (!replace && lstat(final_.c_str(), &info) == 0) return CommitResult::kKept;
        if (rename(temporary_.c_str(), final_.c_str()) != 0) return CommitResult::kFailed;
        committed_ = true;
        return CommitResult::kDone;
    }

private:
    int fd_;
    std::string temporary_;
    std::string final_;
    bool committed_ = false;
};

class CurrentFolder : public ExtractTarget {
public:
    bool MakeFolder(const std::string& path) override {
        if (mkdir(path.c_str(), 0777) == 0) return true;
        struct stat info;
        return errno == EEXIST && lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    // The temporary name is hidden and unique to this process; O_EXCL never
    // follows or reuses what is there.
    std::unique_ptr<OutputFile> OpenOutputFile(const std::string& path) override {
        const size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string temporary = folder + "/.unz" + std::to_string(getpid()) + "-" + std::to_string(++counter_);
            const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) return std::make_unique<PosixOutputFile>(fd, std::move(temporary), path);
            if (errno != EEXIST) return nullptr;
        }
        return nullptr;
    }

private:
    unsigned counter_ = 0;
};

}  // namespace

// The updater's paths are GBK; one that is already valid UTF-8 (any plain
// ASCII path, or a path taken from the file system) is used as it is.
std::unique_ptr<ArchiveSource> OpenArchiveFile(const std::string& path) {
    const std::string name = common::IsValidUtf8(path) ? path : platform::GbkToUtf8(path);
    const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<PosixArchive>(fd, uint64_t(info.st_size));
}

std::unique_ptr<ExtractTarget> CurrentFolderTarget() { return std::make_unique<CurrentFolder>(); }

}  // namespace unzdll
