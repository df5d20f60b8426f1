#include "mail/smtp/smtp_reply.h"

#include <algorithm>

#include "mail/text/ascii.h"

namespace ziromail {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool BeginsWithCode(std::string_view line) {
    return line.size() >= 3 && IsDigit(line[0]) && IsDigit(line[1]) && IsDigit(line[2]);
}

}  // namespace

SmtpReply ParseReply(std::string_view received) {
    SmtpReply reply;
    std::size_t start = 0;
    for (std::size_t end = received.find('\n'); end != std::string_view::npos; end = received.find('\n', start)) {
        std::string_view line = received.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        bool sameCode = BeginsWithCode(line) && (reply.code.empty() || line.substr(0, 3) == reply.code);
        if (!sameCode || (line.size() > 3 && line[3] != '-' && line[3] != ' ')) {
            reply.state = SmtpReply::State::Malformed;
            return reply;
        }
        reply.code = line.substr(0, 3);
        reply.texts.emplace_back(line.substr(std::min<std::size_t>(line.size(), 4)));
        if (line.size() == 3 || line[3] == ' ') {
            reply.state = SmtpReply::State::Complete;
            return reply;
        }
    }
    return reply;
}

bool OffersExtension(const SmtpReply& reply, std::string_view keyword) {
    // The first line greets; each further line names one extension and its parameters.
    return std::any_of(reply.texts.begin() + std::min<std::size_t>(reply.texts.size(), 1), reply.texts.end(),
                       [&](const std::string& text) {
                           return EqualsIgnoreCase(std::string_view(text).substr(0, text.find(' ')), keyword);
                       });
}

}  // namespace ziromail
