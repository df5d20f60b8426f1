#pragma once
// Whole replies of one or more lines ("250-first\r\n250 last\r\n"), as a server
// answers EHLO with the extensions it offers.
#include <string>
#include <string_view>
#include <vector>

namespace ziromail {

struct SmtpReply {
    enum class State { Incomplete, Complete, Malformed };
    State state = State::Incomplete;
    std::string code;                // the three digits every line begins with
    std::vector<std::string> texts;  // each line's text after its code and separator
};

// Reads `received` as the beginning of one reply. It is complete at the first
// line whose code is followed by a blank or by nothing; malformed as soon as a
// line does not begin with the first line's three digits and "-", " " or its
// end. Lines end with CRLF (a bare LF is taken too); bytes after the last line
// are not looked at.
SmtpReply ParseReply(std::string_view received);

// Whether an EHLO reply offers the service extension `keyword` (any case).
bool OffersExtension(const SmtpReply& reply, std::string_view keyword);

}  // namespace ziromail
