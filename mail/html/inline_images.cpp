#include "mail/html/inline_images.h"

#include <algorithm>
#include <string_view>

#include "mail/text/header_text.h"

namespace ziromail {

namespace {

constexpr std::string_view kTag = "<IMG";
constexpr std::string_view kSource = "src=\"";

}  // namespace

int ScanInlineImages(std::string& html, std::vector<std::string>& paths) {
    int added = 0;
    std::size_t position = html.find(kTag);
    while (position != std::string::npos) {
        std::size_t source = html.find(kSource, position);
        if (source == std::string::npos) break;
        std::size_t start = source + kSource.size();
        std::size_t end = std::min(html.find('"', start), html.size());
        if (html.compare(start, 4, "http") == 0 || end == start) {
            position = html.find(kTag, start);
            continue;
        }
        std::string path = html.substr(start, end - start);
        if (std::find(paths.begin(), paths.end(), path) == paths.end()) {
            paths.push_back(path);
            ++added;
        }
        std::string reference = "cid:" + std::string(FileNameOfPath(path));
        html.replace(start, end - start, reference);
        position = html.find(kTag, start + reference.size() + 2);
    }
    return added;
}

}  // namespace ziromail
