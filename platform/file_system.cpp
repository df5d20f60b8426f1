#include "platform/file_system.h"

#include "platform/text_encoding.h"

namespace platform {

// GBK names every character it has in UTF-8 as well, so one backend call serves both.
std::unique_ptr<FileReader> OpenFileReader(const std::string& path) { return OpenFileReader(Utf8Path{GbkToUtf8(path)}); }

std::unique_ptr<CommittingWriter> CreateCommittingWriter(const std::string& path, std::string_view suffix) {
    return CreateCommittingWriter(Utf8Path{GbkToUtf8(path)}, suffix);
}

}  // namespace platform
