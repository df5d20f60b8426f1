#include "update/tools/publish/tool_files.h"

#include <filesystem>

#include "update/tools/publish/publish_error.h"

namespace publish {

namespace {

constexpr char kTemporarySuffix[] = ".~publish";

}  // namespace

std::string ReadFileText(const std::string& path, std::size_t maxBytes, const std::string& what) {
    const std::unique_ptr<platform::FileReader> file = platform::OpenFileReader(platform::Utf8Path{path});
    if (file == nullptr) throw PublishError(what + " " + path + ": cannot be read");
    if (file->Size() > maxBytes) throw PublishError(what + " " + path + ": larger than a " + what + " can be");
    std::string text(std::size_t(file->Size()), '\0');
    if (!text.empty() && !file->ReadAt(0, text.data(), text.size()))
        throw PublishError(what + " " + path + ": cannot be read");
    return text;
}

platform::CommittingWriter& PendingFiles::Create(const std::string& path) {
    std::unique_ptr<platform::CommittingWriter> writer =
        platform::CreateCommittingWriter(platform::Utf8Path{path}, kTemporarySuffix);
    if (writer == nullptr) throw PublishError(path + ": cannot be written");
    files_.push_back({path, std::move(writer)});
    return *files_.back().writer;
}

void PendingFiles::Write(const std::string& path, const std::string& bytes) {
    if (!Create(path).Write(bytes.data(), bytes.size())) throw PublishError(path + ": cannot be written");
}

void PendingFiles::CommitAll(bool replace) {
    std::error_code ignored;
    if (!replace)
        for (const Pending& file : files_)
            if (std::filesystem::exists(std::filesystem::symlink_status(file.path, ignored)))
                throw PublishError(file.path + ": there already; not replaced");
    platform::CommitOptions options;
    options.replace = replace;
    for (Pending& file : files_) {
        switch (file.writer->Commit(options)) {
        case platform::CommitResult::Done:
            break;
        case platform::CommitResult::Kept:
            throw PublishError(file.path + ": there already; not replaced");
        case platform::CommitResult::Failed:
            throw PublishError(file.path + ": cannot be written");
        }
    }
}

}  // namespace publish
