#include "tests/update/update_test_support.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "platform/file_system.h"

namespace updatetest {

std::string BuildPath(const std::string& unixPath) {
    if (platform::kPathSeparator == '/') return unixPath;
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder + platform::kPathSeparator + name;
}

void WriteFile(const std::string& path, const std::string& content) {
    auto writer = platform::CreateCommittingWriter(path, ".~test");
    if (writer == nullptr || !writer->Write(content.data(), content.size()) ||
        writer->Commit({}) != platform::CommitResult::Done)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) { return platform::ReadWholeFile(path, 1 << 26).value_or("<missing>"); }

bool CopyInto(const std::string& file, const std::string& path) { return platform::CopyFileOver(file, path); }

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const platform::FolderEntry& entry : platform::ListFolder(folder).value_or(std::vector<platform::FolderEntry>{}))
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        const auto candidate = base / ("ziro-update-" + std::to_string(std::rand()) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate.string();
            return;
        }
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Read-only files must become writable before Windows removes them.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void RecordingReporter::ShowMessage(const std::string& text, update::MessageCaption caption,
                                    update::MessageIcon icon) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back({text, caption, icon});
}

void RecordingReporter::SetRowStatus(int row, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    rows_.emplace_back(row, text);
}

std::vector<Message> RecordingReporter::Messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<std::string> RecordingReporter::MessageTexts() {
    std::vector<std::string> texts;
    for (const Message& m : Messages()) texts.push_back(m.text);
    return texts;
}

std::vector<std::pair<int, std::string>> RecordingReporter::Rows() {
    std::lock_guard<std::mutex> lock(mutex_);
    return rows_;
}

update::UpdateServices ServicesFor(const std::string& clientFolder) {
    update::UpdateServices services = update::DefaultUpdateServices();
    const std::string module = Join(clientFolder, "UpDate.exe");
    services.moduleFileName = [module] { return module; };
    if (TestServer::Running()) services.httpPort = TestServer::Port();
    services.connectTimeout = std::chrono::milliseconds(2000);
    services.receiveTimeout = std::chrono::milliseconds(1000);
    services.clientExitWaitMs = 5000;
    return services;
}

bool TestServer::Running() { return std::getenv("ZIRO_TEST_HTTP_PORT") != nullptr; }

int TestServer::Port() { return std::atoi(std::getenv("ZIRO_TEST_HTTP_PORT")); }

std::string TestServer::Root() { return std::getenv("ZIRO_TEST_HTTP_ROOT"); }

void TestServer::Put(const std::string& path, const std::string& body, const std::string& behaviour) {
    std::string local = Root();
    std::string folder;
    for (char c : path) {
        if (c == '/') {
            local += platform::kPathSeparator + folder;
            platform::MakeFolder(local);
            folder.clear();
        } else {
            folder += c;
        }
    }
    local += platform::kPathSeparator + folder;
    WriteFile(local, body);
    if (!behaviour.empty()) WriteFile(local + ".behaviour", behaviour);
    else platform::RemoveFile(local + ".behaviour");
}

std::string TestServer::Requests() {
    const std::string log = ReadFile(Join(Root(), "requests.log"));
    return log == "<missing>" ? std::string() : log;
}

}  // namespace updatetest
