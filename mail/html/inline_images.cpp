#include "mail/html/inline_images.h"

#include <algorithm>
#include <string_view>

#include "mail/text/header_text.h"

namespace ziromail {

namespace {

constexpr std::string_view kTag = "<IMG";
constexpr std::string_view kSource = "src=\"";

bool IsTaken(const std::vector<InlineImage>& images, std::string_view id) {
    return std::any_of(images.begin(), images.end(), [&](const InlineImage& image) { return image.contentId == id; });
}

// "x.jpg", or "x-2.jpg", "x-3.jpg", ... when an earlier picture has that ID.
std::string FreeContentId(const std::vector<InlineImage>& images, std::string_view fileName) {
    std::string id(fileName);
    std::size_t dot = fileName.rfind('.');
    if (dot == 0 || dot == std::string_view::npos) dot = fileName.size();
    for (int number = 2; IsTaken(images, id); ++number)
        id = std::string(fileName.substr(0, dot)) + "-" + std::to_string(number) + std::string(fileName.substr(dot));
    return id;
}

// The picture of `path`, entered in the list when it is new.
const InlineImage& PictureOf(std::vector<InlineImage>& images, const std::string& path, int& added) {
    auto it = std::find_if(images.begin(), images.end(), [&](const InlineImage& image) { return image.path == path; });
    if (it != images.end()) return *it;
    ++added;
    std::string id = FreeContentId(images, FileNameOfPath(path));
    return images.emplace_back(InlineImage{path, std::move(id)});
}

}  // namespace

int ScanInlineImages(std::string& html, std::vector<InlineImage>& images) {
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
        std::string reference = "cid:" + PictureOf(images, html.substr(start, end - start), added).contentId;
        html.replace(start, end - start, reference);
        position = html.find(kTag, start + reference.size() + 2);
    }
    return added;
}

}  // namespace ziromail
