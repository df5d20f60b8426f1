#pragma once
// The library-wide handles of sessions that have not been sent yet.
#include <memory>

#include "mail/api/smtp_session.h"

namespace ziromail {

class SessionTable {
public:
    // Enters the session under the next handle (1, 2, 3, ...; never reused) and returns it.
    int Add(std::unique_ptr<SmtpSession> session);
    // The session of `handle`, or null; only for the calling thread's use.
    SmtpSession* Find(int handle);
    // Removes the session from the table and hands it over.
    std::unique_ptr<SmtpSession> Take(int handle);
};

// The table of this library instance; released with the library.
SessionTable& Sessions();

}  // namespace ziromail
