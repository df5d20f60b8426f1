#pragma once
// The whole message text of a send job: header, HTML body, inline pictures, attachments.
#include <string>

#include "mail/api/smtp_session.h"

namespace ziromail {

// Reads the pictures the HTML names and the attachments as it goes; a file that
// cannot be read gives an empty part. The terminator is not included.
std::string ComposeMessage(const SmtpSession& session);

}  // namespace ziromail
