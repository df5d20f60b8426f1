#pragma once
// Local pictures of an HTML body, sent inline and referred to by "cid:".
#include <string>
#include <vector>

namespace ziromail {

struct InlineImage {
    std::string path;       // as the HTML names it
    std::string contentId;  // without the angle brackets; what "cid:" names in the HTML
};

// Finds the double-quoted src of every "<IMG" tag (upper case, as the host
// writes them) whose source does not begin with "http", appends each distinct
// path to `images` in order of first occurrence and rewrites every such source
// to "cid:" + its picture's Content-ID. A plain byte search, not an HTML parse.
// A picture's Content-ID is its file name; a picture whose file name an earlier
// one already took gets the name with "-2" (or the next free number) before
// its extension. Returns the number of pictures appended.
int ScanInlineImages(std::string& html, std::vector<InlineImage>& images);

}  // namespace ziromail
