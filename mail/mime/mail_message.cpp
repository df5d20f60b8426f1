#include "mail/mime/mail_message.h"

#include "mail/mime/mail_date.h"

namespace ziromail {

void MailMessage::SetDate() { SetDate(std::time(nullptr)); }

void MailMessage::SetDate(std::time_t now) {
    if (auto date = FormatMailDate(now)) SetFieldValue("Date", *date);
}

}  // namespace ziromail
