// The library's C entry points. Strings are copied on entry; nothing unwinds into the host.
#include <memory>
#include <string>

#include "common/export_guard.h"
#include "mail/api/mail_job.h"
#include "mail/api/session_table.h"
#include "mail/ziromail.h"

using common::Guarded;
using ziromail::Sessions;
using ziromail::SmtpSession;

namespace {

std::string Copy(const char* text) { return text ? std::string(text) : std::string(); }

void ApplyOption(SmtpSession& session, int option, const char* value) {
    switch (option) {
        case MailOptionSender: session.sender = Copy(value); break;
        case MailOptionTo: session.toList = Copy(value); break;
        case MailOptionCc: session.ccList = Copy(value); break;
        case MailOptionAttachment: session.attachments.push_back(Copy(value)); break;
        default: break;
    }
}

}  // namespace

extern "C" {

int ZIROMAIL_CDECL InitSmtp(const char* server, int port, int userValue) {
    return common::GuardedOr(-1, [&] {
        return Sessions().Add(std::make_unique<SmtpSession>(Copy(server), port, userValue));
    });
}

void ZIROMAIL_CDECL MailUserBind(int handle, const char* user, const char* password) {
    if (handle < 0) return;
    Guarded([&] {
        if (SmtpSession* session = Sessions().Find(handle)) {
            session->userName = Copy(user);
            session->password = Copy(password);
        }
    });
}

void ZIROMAIL_CDECL SetMailOption(int handle, int option, const char* value) {
    if (handle < 0) return;
    Guarded([&] {
        if (SmtpSession* session = Sessions().Find(handle)) ApplyOption(*session, option, value);
    });
}

int ZIROMAIL_CDECL SendMail(int handle, const char* subject, const char* htmlBody, SendMailCallback callback) {
    if (handle < 0) return -1;
    try {
        SmtpSession* session = Sessions().Find(handle);
        if (!session) return -1;
        session->subject = Copy(subject);
        session->htmlBody = Copy(htmlBody);
        int userValue = session->userValue;
        ziromail::SetMailCallback(callback);
        ziromail::ReportStatus(MailStatusStarted, userValue);
        // From here on the job owns the session; the handle designates nothing.
        if (!ziromail::StartMailJob(Sessions().Take(handle))) ziromail::ReportStatus(MailStatusError, userValue);
    } catch (...) {
        return -1;
    }
    return 0;
}

}  // extern "C"
