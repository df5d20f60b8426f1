#pragma once
// Local pictures of an HTML body, sent inline and referred to by "cid:".
#include <string>
#include <vector>

namespace ziromail {

// Finds the double-quoted src of every "<IMG" tag (upper case, as the host
// writes them) whose source does not begin with "http", appends each distinct
// path to `paths` in order of first occurrence and rewrites every such source
// to "cid:" + its file name. A plain byte search, not an HTML parse. Returns
// the number of paths appended.
int ScanInlineImages(std::string& html, std::vector<std::string>& paths);

}  // namespace ziromail
