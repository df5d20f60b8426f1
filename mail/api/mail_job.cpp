#include "mail/api/mail_job.h"

#include <atomic>
#include <system_error>
#include <thread>

#include "mail/mime/message_composer.h"
#include "platform/tls_session.h"

namespace ziromail {

namespace {

// Written by the host's thread, read by every job's thread.
std::atomic<SendMailCallback> callbackSlot{nullptr};

void MailJob(std::unique_ptr<SmtpSession> session) {
    int status = MailStatusError;
    {
        SmtpClient client(session->timeouts);
        try {
            status = RunMailJob(*session, client);
        } catch (...) {
            // Out of memory while composing: the message could not be handed over.
            status = MailStatusMessageFailed;
        }
    }
    // The connection is closed and the thread's TLS state freed before the
    // host hears the outcome: a host may well end at its final callback.
    platform::ReleaseTlsThreadState();
    ReportStatus(status, session->userValue);
}

}  // namespace

void SetMailCallback(SendMailCallback callback) { callbackSlot.store(callback); }

void ReportStatus(int status, int userValue) {
    if (SendMailCallback callback = callbackSlot.load()) callback(status, userValue);
}

MailStatus RunMailJob(const SmtpSession& session, SmtpClient& client) {
    MailStatus status = client.Connect(session.server, session.port);
    if (status == MailStatusOk) status = client.Login(session.userName, session.password);
    if (status == MailStatusOk) status = client.SendEnvelope(session.sender, session.toList, session.ccList);
    if (status == MailStatusOk) status = client.StartMessage();
    if (status == MailStatusOk) status = client.SendMessage(ComposeMessage(session));
    if (status == MailStatusOk) return client.Quit();
    client.QuitAfterFailure();
    return status;
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
