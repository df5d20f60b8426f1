#pragma once
// Files as the publishing tool reads and writes them: paths as the vendor
// types them (UTF-8), every output written under a temporary name and given
// its own only once the whole command has worked.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace publish {

// The whole file; throws PublishError when it cannot be read or holds more
// than `maxBytes`. `what` names the file in the message.
std::string ReadFileText(const std::string& path, std::size_t maxBytes, const std::string& what);

// Outputs that appear together at the end, or not at all.
class PendingFiles {
public:
    // A new file for `path`, written into at once; throws PublishError.
    platform::CommittingWriter& Create(const std::string& path);
    void Write(const std::string& path, const std::string& bytes);
    // Gives every file its name, in the order they were made. `replace`
    // false: a file that is there already is an error (checked before
    // anything is renamed).
    void CommitAll(bool replace = true);

private:
    struct Pending {
        std::string path;
        std::unique_ptr<platform::CommittingWriter> writer;
    };
    std::vector<Pending> files_;
};

}  // namespace publish
