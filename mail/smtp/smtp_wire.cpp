#include "mail/smtp/smtp_wire.h"

#include "mail/coders/base64.h"

namespace ziromail {

int SendAll(SmtpChannel& channel, const char* data, std::size_t length, platform::Milliseconds timeout) {
    while (length > 0) {
        long sent = channel.SendSome(data, length, timeout);
        if (sent <= 0) return -1;
        data += sent;
        length -= static_cast<std::size_t>(sent);
    }
    return 0;
}

std::string EncodeCredential(const char* bytes, std::size_t length) {
    std::string line(Base64TextLength(length), '\0');
    Base64EncodeLine(reinterpret_cast<const unsigned char*>(bytes), length, line.data(), line.size());
    return line + "\r\n";
}

std::vector<std::string_view> SplitRecipients(std::string_view list) {
    std::vector<std::string_view> addresses;
    if (list.empty()) return addresses;
    std::size_t position = 0;
    for (;;) {
        std::size_t separator = list.find_first_of(",;", position);
        addresses.push_back(list.substr(position, separator == std::string_view::npos ? std::string_view::npos
                                                                                     : separator - position));
        if (separator == std::string_view::npos) return addresses;
        position = separator + 1;
    }
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace ziromail
