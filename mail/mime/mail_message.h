#pragma once
// The root part of a mail.
#include <ctime>

#include "mail/mime/message_part.h"

namespace ziromail {

class MailMessage : public MessagePart {
public:
    // Sets the Date field from the current local time (or from `now`).
    void SetDate();
    void SetDate(std::time_t now);
};

}  // namespace ziromail
