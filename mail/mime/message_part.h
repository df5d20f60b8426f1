#pragma once
// A MIME part: header, content and owned child parts.
#include <memory>
#include <string>
#include <vector>

#include "mail/coders/content_coder.h"
#include "mail/mime/part_header.h"

namespace ziromail {

class MessagePart : public PartHeader {
public:
    void Clear() override;

    // Appends a new empty child and returns it.
    MessagePart& CreatePart();
    // Replaces the content; length 0 means up to the first NUL.
    void SetText(const char* data, std::size_t length = 0);
    // Replaces the content with the file's bytes and names the part after the
    // file. False when the file cannot be opened (nothing changes) or read
    // completely (the part keeps what was read).
    bool LoadFile(const std::string& path);

    const std::string& Content() const { return content_; }
    const std::vector<std::unique_ptr<MessagePart>>& Parts() const { return children_; }

protected:
    bool Render(BoundedWriter& out) const override;

private:
    // The coder named by the part's "Content-Transfer-Encoding", set to encode the content.
    std::unique_ptr<ContentCoder> ContentEncoder() const;

    std::string content_;
    std::vector<std::unique_ptr<MessagePart>> children_;
};

}  // namespace ziromail
