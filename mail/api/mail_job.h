#pragma once
// A send job from connection to final report.
#include <memory>

#include "mail/smtp/smtp_session.h"
#include "mail/ziromail.h"

namespace ziromail {

// The library-wide callback slot: the callback of the most recent SendMail.
void SetMailCallback(SendMailCallback callback);
void ReportStatus(int status, int userValue);

// Connects, logs in and delivers; returns the job's final status.
int RunMailJob(SmtpSession& session);

// Runs the job on a thread of its own, reports its final status and destroys
// the session. False when no thread could be started (nothing ran).
bool StartMailJob(std::unique_ptr<SmtpSession> session);

}  // namespace ziromail
