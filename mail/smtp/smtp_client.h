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
enum class SmtpStep { Greeting, Ehlo, Helo, AuthLogin, AuthUser, AuthPassword, MailFrom, RcptTo, Data, MessageEnd };

// How long a silent server is waited for (RFC 5321 section 4.5.3.2 for the
// replies; connecting and each send get limits of the same order).
struct SmtpTimeouts {
    platform::Milliseconds connect = std::chrono::minutes(5);
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
    // name (HELO when the server knows no EHLO): or ConnectFailed.
    MailStatus Connect(const std::string& server, int port);
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
    bool Greet(const std::string& server);
    bool SendRecipients(std::string_view list);
    platform::Milliseconds ReplyTimeout(SmtpStep step) const;

    SmtpTimeouts timeouts_;
    std::unique_ptr<SmtpChannel> channel_;  // the connection closes with the client
    bool recipientRefused_ = false;  // a RCPT TO (or MAIL FROM) was answered 550
    bool greetingRead_ = false;      // the server said something when it was first heard
};

}  // namespace ziromail
