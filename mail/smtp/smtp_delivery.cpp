#include "mail/ziromail.h"
#include "mail/smtp/smtp_session.h"
#include "mail/smtp/smtp_wire.h"

namespace ziromail {

// True when the walk may go on; false once a recipient was refused with 550.
bool SmtpSession::SendRecipients(const std::string& list) {
    for (std::string_view address : SplitRecipients(list)) {
        // An address with a line break would smuggle a command of its own: it is not sent.
        if (HasLineBreak(address)) continue;
        std::string command = "rcpt to:<" + std::string(address) + ">\r\n";
        if (!Exchange(SmtpStep::RcptTo, command, true) && recipientRefused == MailStatusRecipientRefused) return false;
    }
    return true;
}

int SmtpSession::Deliver() {
    if (HasLineBreak(sender) || !Exchange(SmtpStep::MailFrom, "mail from:<" + sender + ">\r\n", true))
        return MailStatusSenderRejected;
    if (!SendRecipients(toList) || !SendRecipients(ccList)) return MailStatusRecipientRefused;
    // Without 354 the server would read the message as commands.
    if (!Exchange(SmtpStep::Data, "data\r\n", true)) return MailStatusMessageFailed;
    std::string message = ComposeMessage();
    message += "\r\n.\r\n";
    if (!Exchange(SmtpStep::MessageEnd, message, true)) return MailStatusMessageFailed;
    // The reply to QUIT is not waited for.
    if (SendAll(socket, "quit\r\n", 6, timeouts.send) != 0) return MailStatusError;
    attachments.clear();
    return MailStatusOk;
}

}  // namespace ziromail
