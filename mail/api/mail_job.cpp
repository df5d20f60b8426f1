#include "mail/api/mail_job.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace ziromail {

namespace {

// Written by the host's thread, read by every job's thread.
std::atomic<SendMailCallback> callbackSlot{nullptr};

void MailJob(std::unique_ptr<SmtpSession> session) {
    int status = MailStatusError;
    try {
        status = RunMailJob(*session);
    } catch (...) {
        // Out of memory while composing: the message could not be handed over.
        status = MailStatusMessageFailed;
    }
    ReportStatus(status, session->userValue);
}

}  // namespace

void SetMailCallback(SendMailCallback callback) { callbackSlot.store(callback); }

void ReportStatus(int status, int userValue) {
    if (SendMailCallback callback = callbackSlot.load()) callback(status, userValue);
}

int RunMailJob(SmtpSession& session) {
    if (!session.Connect(session.server.c_str())) return MailStatusConnectFailed;
    int status = session.Login();
    return status == MailStatusOk ? session.Deliver() : status;
}

bool StartMailJob(std::unique_ptr<SmtpSession> session) {
    try {
        std::thread(MailJob, std::move(session)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace ziromail
