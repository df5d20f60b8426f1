#include "mail/mime/message_part.h"

#include <cstdio>
#include <cstring>

#include "mail/coders/content_coder_registry.h"
#include "mail/text/header_text.h"

namespace ziromail {

namespace {

// Reads the whole file; false when it cannot be opened. `complete` tells
// whether it was read to its end without an error.
bool ReadFile(const std::string& path, std::string& bytes, bool& complete) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        if (size > 0) bytes.reserve(static_cast<std::size_t>(size));
        std::rewind(file);
    }
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    complete = !std::ferror(file);
    std::fclose(file);
    return true;
}

}  // namespace

void MessagePart::Clear() {
    PartHeader::Clear();
    content_.clear();
    children_.clear();
}

MessagePart& MessagePart::CreatePart() {
    children_.push_back(std::make_unique<MessagePart>());
    return *children_.back();
}

void MessagePart::SetText(const char* data, std::size_t length) {
    content_.assign(data, length ? length : std::strlen(data));
}

bool MessagePart::LoadFile(const std::string& path) {
    std::string bytes;
    bool complete = false;
    if (!ReadFile(path, bytes, complete)) return false;
    content_ = std::move(bytes);
    SetTypeFromFileName(FileNameOfPath(path));
    return complete;
}

std::unique_ptr<ContentCoder> MessagePart::ContentEncoder() const {
    const HeaderField* encoding = GetField("Content-Transfer-Encoding");
    return ContentCoderRegistry::Instance().Create(encoding ? std::string_view(encoding->value) : std::string_view(),
                                                   content_.data(), content_.size(), true);
}

bool MessagePart::Render(BoundedWriter& out) const {
    RenderHeader(out);
    auto coder = ContentEncoder();
    out.Advance(coder->Encode(out.Cursor(), out.Room()));
    if (children_.empty()) return true;
    std::string boundary = GetBoundary();
    if (boundary.empty()) return false;
    // The empty line that ends the header is followed directly by the first delimiter.
    if (out.EndsWith("\r\n")) out.StepBack(2);
    for (const auto& child : children_) {
        out.Put("\r\n--" + boundary + "\r\n");
        if (!child->Render(out)) return false;
    }
    out.Put("\r\n--" + boundary + "--\r\n");
    return true;
}

}  // namespace ziromail
