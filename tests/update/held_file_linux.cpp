#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "tests/update/held_file.h"

std::shared_ptr<void> HoldFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    flock(fd, LOCK_EX | LOCK_NB);
    return std::shared_ptr<void>(new int(fd), [](void* p) {
        close(*static_cast<int*>(p));
        delete static_cast<int*>(p);
    });
}
