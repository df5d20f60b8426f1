#pragma once
// A send job from connection to final report.
#include <memory>

#include "mail/api/smtp_session.h"
#include "mail/smtp/smtp_client.h"
#include "mail/ziromail.h"

namespace ziromail {

// The library-wide callback slot: the callback of the most recent SendMail.
void SetMailCallback(SendMailCallback callback);
void ReportStatus(int status, int userValue);

// Connects, logs in, hands over the envelope and the composed message, says
// QUIT (also after a failure, once the server has greeted); returns the job's
// final status. The connection stays open in `client`.
MailStatus RunMailJob(const SmtpSession& session, SmtpClient& client);

// Runs the job on a thread of its own, closes the connection, reports the
// final status, then destroys the session. False when no thread could be
// started (nothing ran).
bool StartMailJob(std::unique_ptr<SmtpSession> session);

}  // namespace ziromail
