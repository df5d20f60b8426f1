#pragma once
// What the updater's tests share: temporary client folders, a reporter that
// records, the test HTTP server's folder, the built artefacts' paths.
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "update/update_reporter.h"
#include "update/update_services.h"

namespace updatetest {

// A path of the build tree as the program sees it (a drive path under Wine).
std::string BuildPath(const std::string& unixPath);
std::string Join(const std::string& folder, const std::string& name);
void WriteFile(const std::string& path, const std::string& content);
// The file's contents; "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);
bool CopyInto(const std::string& file, const std::string& path);
// The names in a folder, sorted: what a test expects there and nothing else
// (no temporary file left behind).
std::vector<std::string> NamesIn(const std::string& folder);

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return Join(path_, name); }

private:
    std::string path_;
};

struct Message {
    std::string text;
    update::MessageCaption caption;
    update::MessageIcon icon;
};

class RecordingReporter final : public update::UpdateReporter {
public:
    void ShowMessage(const std::string& text, update::MessageCaption caption, update::MessageIcon icon) override;
    void SetRowStatus(int row, const std::string& text) override;
    std::vector<Message> Messages();
    std::vector<std::string> MessageTexts();
    std::vector<std::pair<int, std::string>> Rows();

private:
    std::mutex mutex_;
    std::vector<Message> messages_;
    std::vector<std::pair<int, std::string>> rows_;
};

// The engine's services for a client folder, with the test server's port and short time-outs.
update::UpdateServices ServicesFor(const std::string& clientFolder);

// The server started by tests/update/with-http-server, when there is one.
struct TestServer {
    static bool Running();
    static int Port();
    static std::string Root();
    // Puts a file (and, when given, its JSON behaviour) at `path` below the root.
    static void Put(const std::string& path, const std::string& body, const std::string& behaviour = "");
    // The request paths received so far, one per line.
    static std::string Requests();
};

}  // namespace updatetest
