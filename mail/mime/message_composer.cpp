#include "mail/mime/message_composer.h"

#include <vector>

#include "mail/html/inline_images.h"
#include "mail/mime/mail_message.h"
#include "mail/text/header_text.h"

namespace ziromail {

namespace {

constexpr const char* kContentType = "Content-Type";
constexpr const char* kTransferEncoding = "Content-Transfer-Encoding";
// The host's texts and file names are bytes of this code page.
constexpr const char* kHostCharset = "GBK";

// Loads the file and names it; a non-ASCII name is encoded in the host's charset.
void LoadNamedFile(MessagePart& part, const std::string& path) {
    part.LoadFile(path);
    part.SetFieldCharset(kContentType, kHostCharset);
}

MessagePart& AddContainer(MessagePart& parent, const char* type, const char* boundary) {
    MessagePart& container = parent.CreatePart();
    container.SetFieldValue(kContentType, type);
    container.SetBoundary(boundary);
    return container;
}

void AddHtml(MessagePart& parent, const std::string& html) {
    MessagePart& part = parent.CreatePart();
    part.SetFieldValue(kContentType, std::string("text/html; charset=") + kHostCharset);
    part.SetFieldValue(kTransferEncoding, "base64");
    part.SetText(html.data(), html.size());
}

void AddImage(MessagePart& parent, const InlineImage& image) {
    MessagePart& part = parent.CreatePart();
    part.SetFieldValue(kTransferEncoding, "base64");
    LoadNamedFile(part, image.path);
    part.SetFieldValue("Content-ID", "<" + image.contentId + ">");
}

void AddAttachment(MessagePart& parent, const std::string& path) {
    MessagePart& part = parent.CreatePart();
    part.SetFieldValue(kTransferEncoding, "base64");
    LoadNamedFile(part, path);
}

// Renders into a string sized by counting first, with room left for the terminator.
std::string Render(const MailMessage& root) {
    std::size_t length = root.GetLength();
    std::string text;
    text.reserve(length + 5);
    text.resize(length);
    long written = root.Store(text.data(), length);
    text.resize(written < 0 ? 0 : static_cast<std::size_t>(written));
    return text;
}

}  // namespace

std::string ComposeMessage(const SmtpSession& session) {
    std::string htmlBody = session.htmlBody;  // local pictures are renamed to "cid:" in it
    std::vector<InlineImage> images;
    int imageCount = ScanInlineImages(htmlBody, images);
    bool hasAttachments = !session.attachments.empty();

    MailMessage root;
    root.SetDate();
    root.SetFieldValue("MIME-Version", "1.0");
    root.SetFieldValue("From", session.userName, kHostCharset);
    root.SetFieldValue("To", AddressList(session.toList), kHostCharset);
    root.SetFieldValue("CC", AddressList(session.ccList), kHostCharset);
    root.SetFieldValue("Subject", session.subject, kHostCharset);
    root.SetFieldValue(kContentType, hasAttachments || imageCount == 0 ? "multipart/mixed" : "multipart/related");
    root.SetBoundary();

    MessagePart* htmlParent = &root;
    MessagePart* imageParent = &root;
    if (imageCount > 0 && !hasAttachments) {
        htmlParent = &AddContainer(root, "multipart/alternative", "embeded_multipart_boundary");
    } else if (imageCount > 0) {
        imageParent = &AddContainer(root, "multipart/related", "embeded_multipart_boundary");
        htmlParent = &AddContainer(*imageParent, "multipart/alternative", "sub_multipart_boundary");
    }
    AddHtml(*htmlParent, htmlBody);
    for (const InlineImage& image : images) AddImage(*imageParent, image);
    for (const std::string& path : session.attachments) AddAttachment(root, path);
    return Render(root);
}

}  // namespace ziromail
