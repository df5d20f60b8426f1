#include "pack_file.h"

#include <fstream>

#include "voicemsg/pack_text.h"

namespace voicemsg {

namespace {

constexpr size_t kTrailingRoom = 1024;

}  // namespace

std::optional<std::string> ReadPackFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    // Room for a whole text and its trailing blanks; anything longer is too large anyway.
    std::string text(kPackTextCapacity + kTrailingRoom + 1, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    if (in.bad()) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    text.resize(size_t(in.gcount()));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    if (text.empty()) {
        error = path + ": no pack text in it";
    } else if (text.size() > kPackTextCapacity) {
        error = path + ": " + std::to_string(text.size()) + " characters, more than a pack text's " +
                std::to_string(kPackTextCapacity);
    } else if (const uint32_t chunk = FirstMalformedChunk(text.data(), uint32_t(text.size()))) {
        const uint64_t first = uint64_t(chunk - 1) * kPackChunkChars;
        error = path + ": not a pack text: chunk " + std::to_string(chunk) + " (from character " +
                std::to_string(first + 1) + ") is not valid Base64";
    }
    if (!error.empty()) return std::nullopt;
    return text;
}

bool WritePackFile(const std::string& path, const char* text, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text, std::streamsize(size));
    out.close();
    return bool(out);
}

}  // namespace voicemsg
