#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/processes.h"
#include "platform/text_encoding.h"

extern char** environ;

namespace platform {

namespace {

// A pidfd names one process for as long as we hold it, so a reused
// identifier can never make us stop a stranger.
class LinuxProcess final : public ProcessHandle {
public:
    LinuxProcess(uint32_t id, int pidfd) : id_(id), pidfd_(pidfd) {}
    ~LinuxProcess() override { ::close(pidfd_); }

    std::string ExecutablePath() override {
        char buffer[PATH_MAX];
        const std::string link = "/proc/" + std::to_string(id_) + "/exe";
        const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer);
        if (n <= 0 || std::size_t(n) >= sizeof buffer) return {};
        return Utf8ToGbk(std::string_view(buffer, std::size_t(n)));
    }

    // No exit code can be imposed here; SIGKILL is the same immediate end.
    bool Terminate(uint32_t) override { return ::syscall(SYS_pidfd_send_signal, pidfd_, SIGKILL, nullptr, 0) == 0; }

    bool WaitForExit(uint32_t timeoutMs) override {
        pollfd entry{pidfd_, POLLIN, 0};
        for (;;) {
            const int ready = ::poll(&entry, 1, int(timeoutMs));
            if (ready > 0) return true;
            if (ready == 0 || errno != EINTR) return false;
        }
    }

private:
    uint32_t id_;
    int pidfd_;
};

}  // namespace

std::optional<std::vector<uint32_t>> ListProcessIds() {
    DIR* dir = ::opendir("/proc");
    if (dir == nullptr) return std::nullopt;
    std::vector<uint32_t> ids;
    while (dirent* d = ::readdir(dir)) {
        char* end = nullptr;
        const unsigned long id = std::strtoul(d->d_name, &end, 10);
        if (end != d->d_name && *end == '\0' && id > 0 && id <= UINT32_MAX) ids.push_back(uint32_t(id));
    }
    ::closedir(dir);
    return ids;
}

std::unique_ptr<ProcessHandle> OpenProcessById(uint32_t id) {
    const long pidfd = ::syscall(SYS_pidfd_open, pid_t(id), 0);
    if (pidfd < 0) return nullptr;
    return std::make_unique<LinuxProcess>(id, int(pidfd));
}

bool StartProgram(const std::string& path, const std::string& parameters) {
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t files;
    if (posix_spawnattr_init(&attributes) != 0) return false;
    posix_spawn_file_actions_init(&files);
    // A session of its own and no share in our terminal or pipes: the program
    // is started for the user, as from a desktop, and outlives us.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    for (int fd = 0; fd <= 2; ++fd) posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    std::string program = GbkToUtf8(path), argument = GbkToUtf8(parameters);
    char* argv[] = {program.data(), parameters.empty() ? nullptr : argument.data(), nullptr};
    pid_t child = 0;
    const int rc = posix_spawn(&child, program.c_str(), &files, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    return rc == 0;
}

}  // namespace platform
