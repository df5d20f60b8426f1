#include "update/tools/publish/package_command.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <vector>

#include "common/relative_path.h"
#include "platform/text_encoding.h"
#include "update/tools/publish/publish_error.h"
#include "update/tools/publish/tool_files.h"
#include "update/tools/publish/vendor_text.h"
#include "update/tools/publish/xml_markup.h"
#include "update/tools/publish/zip_writer.h"
#include "update/update_documents.h"
#include "update/update_paths.h"
#include "update/update_texts.h"

namespace publish {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxActionsBytes = 1 << 20;

struct Action {
    std::string word;
    std::string gbkName;
};

struct PackedFile {
    std::string name;  // UTF-8, "/" separated, relative to the folder
    fs::path path;
};

int64_t Seconds(fs::file_time_type time) {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::file_clock::to_sys(time).time_since_epoch())
        .count();
}

// Every file below the folder, by name, under the unzip library's own name rule.
std::vector<PackedFile> FilesOf(const std::string& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) throw PublishError(folder + ": not a folder");
    std::vector<PackedFile> files;
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::end(it); it.increment(error)) {
        if (it->is_directory()) continue;
        const std::string name = fs::relative(it->path(), folder).generic_string();
        if (!it->is_regular_file()) throw PublishError(name + ": neither a file nor a folder");
        for (const std::string_view component : common::PathComponents(name, common::PathText::Utf8))
            if (common::IsEscapingComponent(component) || name.find('\\') != std::string::npos)
                throw PublishError(name + ": a name the updater does not unpack on every system");
        files.push_back({name, it->path()});
    }
    if (error) throw PublishError(folder + ": " + error.message());
    std::sort(files.begin(), files.end(), [](const PackedFile& a, const PackedFile& b) { return a.name < b.name; });
    return files;
}

// The name a script item gives, as the folder's files are named.
std::string FolderName(const std::string& gbkName) {
    const std::string normalised = *update::NormalisedActionName(gbkName, '/');
    return platform::GbkToUtf8(normalised.substr(1));
}

Action ReadAction(const std::string& line, int number, const std::set<std::string>& names) {
    const std::string where = "action line " + std::to_string(number);
    const std::size_t gap = line.find_first_of(" \t");
    const std::size_t start = gap == std::string::npos ? gap : line.find_first_not_of(" \t", gap);
    if (start == std::string::npos) throw PublishError(where + ": an action word and a name are needed");
    Action action{line.substr(0, gap), GbkOf(line.substr(start), where + ": the name")};
    const update::ActionKind kind = update::ActionKindOf(action.word);
    if (kind == update::ActionKind::Other)
        throw PublishError(where + ": \"" + action.word + "\" is none of copy, replace, remove, execute");
    if (!update::NormalisedActionName(action.gbkName, '/'))
        throw PublishError(where + ": \"" + line.substr(start) + "\" leaves the client folder");
    if (kind != update::ActionKind::Remove && names.count(FolderName(action.gbkName)) == 0)
        throw PublishError(where + ": \"" + line.substr(start) + "\" is not a file of the package's folder");
    return action;
}

std::vector<Action> ReadActions(const std::string& path, const std::set<std::string>& names) {
    const std::string text = ReadFileText(path, kMaxActionsBytes, "action list");
    std::vector<Action> actions;
    int number = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        line.erase(0, std::min(line.find_first_not_of(" \t"), line.size()));
        if (line.empty() || line[0] == '#') continue;
        actions.push_back(ReadAction(line, number, names));
    }
    if (actions.empty()) throw PublishError(path + ": no action (the updater refuses a script without one)");
    return actions;
}

// The script as the updater reads it: its actions are the fourth child.
std::string ScriptText(const std::string& archiveName, const std::vector<Action>& actions, std::size_t files) {
    std::string text = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<update>\n";
    text += "  <name>" + XmlEscaped(GbkOf(archiveName, "the archive's name")) + "</name>\n";
    text += "  <files>" + std::to_string(files) + "</files>\n";
    text += "  <actions>" + std::to_string(actions.size()) + "</actions>\n  <items>\n";
    for (const Action& action : actions)
        text += "    <item name=\"" + XmlEscaped(action.gbkName) + "\"><action>" + action.word + "</action></item>\n";
    return text + "  </items>\n</update>\n";
}

}  // namespace

std::string MakePackage(const PackageRequest& request) {
    const std::vector<PackedFile> files = FilesOf(request.folder);
    std::set<std::string> names;
    for (const PackedFile& file : files) {
        if (file.name == update::kScriptFile)
            throw PublishError(request.folder + " holds " + update::kScriptFile + ", which the tool writes itself");
        names.insert(file.name);
    }
    const std::vector<Action> actions = ReadActions(request.actions, names);
    const std::string script = ScriptText(fs::path(request.archive).filename().string(), actions, files.size());

    PendingFiles outputs;
    ZipWriter zip(outputs.Create(request.archive));
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    zip.AddBytes({update::kScriptFile, 0644, std::chrono::duration_cast<std::chrono::seconds>(now).count()}, script);
    for (const PackedFile& file : files) {
        const fs::file_status status = fs::status(file.path);
        const uint32_t mode = uint32_t(status.permissions()) & 0777;
        zip.AddFile({file.name, mode, Seconds(fs::last_write_time(file.path))}, file.path.string());
    }
    zip.Finish();
    outputs.CommitAll();
    return request.archive + ": " + std::to_string(files.size()) + " files and " + update::kScriptFile + " with " +
           std::to_string(actions.size()) + " actions";
}

}  // namespace publish
