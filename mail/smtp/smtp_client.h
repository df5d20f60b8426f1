#pragma once
// The client side of the SMTP dialogue: lock-step, one receive per command, only
// the first three characters of a reply looked at; only the reply to EHLO is
// read whole, for the extensions it lists. Each step returns the job's status:
// MailStatusOk to go on, or the status the job ends with.
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "mail/smtp/smtp_channel.h"
#include "mail/smtp/smtp_reply.h"
#include "mail/ziromail.h"

namespace ziromail {

// The exchanges of the dialogue, in order.
enum class SmtpStep {
    Greeting, Ehlo, Helo, StartTls, AuthLogin, AuthUser, AuthPassword, MailFrom, RcptTo, Data, MessageEnd
};

// How the connection is secured, by the server's port (RFC 8314): 465 is TLS
// from its first byte, 587 turns to TLS with STARTTLS and is given nothing
// without it; every other port stays plain text.
enum class SmtpSecurity { Plain, ImplicitTls, StartTls };
SmtpSecurity SecurityForPort(int port);

// How long a silent server is waited for (RFC 5321 section 4.5.3.2 for the
// replies; connecting and each send get limits of the same order).
struct SmtpTimeouts {
    platform::Milliseconds connect = std::chrono::minutes(5);
    platform::Milliseconds handshake = std::chrono::seconds(30);  // the whole TLS handshake
    platform::Milliseconds send = std::chrono::minutes(3);
    platform::Milliseconds greeting = std::chrono::minutes(5);
    platform::Milliseconds command = std::chrono::minutes(5);  // EHLO (its whole reply), HELO, AUTH, MAIL, RCPT
    platform::Milliseconds dataStart = std::chrono::minutes(2);
    platform::Milliseconds dataEnd = std::chrono::minutes(10);
};

class SmtpClient {
public:
    explicit SmtpClient(const SmtpTimeouts& timeouts, std::unique_ptr<SmtpChannel> channel = MakeTcpChannel())
        : timeouts_(timeouts), channel_(std::move(channel)) {}
    SmtpClient(const SmtpClient&) = delete;
    SmtpClient& operator=(const SmtpClient&) = delete;

    // Opens the connection, takes the greeting and says EHLO with the server's
    // name (HELO when the server knows no EHLO); with TLS as the port asks, so
    // that nothing after this goes out before the server's certificate has
    // been checked. ConnectFailed when any of it fails.
    MailStatus Connect(const std::string& server, int port);
    // The same with `security` in place of what the port asks for.
    MailStatus Connect(const std::string& server, int port, SmtpSecurity security);
    // AUTH LOGIN: Error when it is not offered, LoginFailed when user or password is refused.
    MailStatus Login(std::string_view user, std::string_view password);
    // MAIL FROM, then RCPT TO for every To and Cc address: SenderRejected, or
    // RecipientRefused at the first 550 (other refusals are passed over).
    MailStatus SendEnvelope(std::string_view sender, std::string_view toList, std::string_view ccList);
    // DATA: MessageFailed unless the server is ready for the message.
    MailStatus StartMessage();
    // The message, its terminator, and one reply: MessageFailed when that fails.
    MailStatus SendMessage(std::string message);
    // QUIT, without waiting for its reply: Error when it cannot be sent.
    MailStatus Quit();
    // QUIT after a failed step, once the server has greeted; whether it goes out does not matter.
    void QuitAfterFailure();

private:
    // Sends `command` when asked to, then takes one reply and judges it for `step`.
    bool Exchange(SmtpStep step, std::string_view command, bool sendFirst);
    // Takes one whole reply, however many receives it needs, within `timeout`.
    bool ReceiveReply(platform::Milliseconds timeout, SmtpReply& reply);
    bool Greet(const std::string& server, bool& offersStartTls);
    bool SwitchToTls(const std::string& server);
    bool DropUnread();
    bool SendRecipients(std::string_view list);
    platform::Milliseconds ReplyTimeout(SmtpStep step) const;

    SmtpTimeouts timeouts_;
    std::unique_ptr<SmtpChannel> channel_;  // the connection closes with the client
    bool recipientRefused_ = false;  // a RCPT TO (or MAIL FROM) was answered 550
    bool greetingRead_ = false;      // the server said something when it was first heard
};

}  // namespace ziromail
