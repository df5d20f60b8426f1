#pragma once
// One send job: the session's settings, its connection and the SMTP dialogue.
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "platform/net/tcp_socket.h"

namespace ziromail {

// The exchanges of the dialogue, in order.
enum class SmtpStep { Greeting, Helo, AuthLogin, AuthUser, AuthPassword, MailFrom, RcptTo, Data, MessageEnd };

// How long a silent server is waited for (RFC 5321 section 4.5.3.2 for the
// replies; connecting and each send get limits of the same order).
struct SmtpTimeouts {
    platform::Milliseconds connect = std::chrono::minutes(5);
    platform::Milliseconds send = std::chrono::minutes(3);
    platform::Milliseconds greeting = std::chrono::minutes(5);
    platform::Milliseconds command = std::chrono::minutes(5);  // HELO, AUTH, MAIL, RCPT
    platform::Milliseconds dataStart = std::chrono::minutes(2);
    platform::Milliseconds dataEnd = std::chrono::minutes(10);
};

class SmtpSession {
public:
    SmtpSession(std::string serverName, int serverPort, int hostValue);
    virtual ~SmtpSession();
    SmtpSession(const SmtpSession&) = delete;
    SmtpSession& operator=(const SmtpSession&) = delete;

    // Opens the connection and passes the greeting and HELO.
    bool Connect(const char* serverName);
    // AUTH LOGIN: 0, -1 (not offered) or -3 (refused).
    int Login();
    // Envelope, message and QUIT: 0, -1, -4, -6 or -7.
    int Deliver();
    // Sends `command` when asked to, then takes one reply and judges it for `step`.
    bool Exchange(SmtpStep step, std::string_view command, bool sendFirst);
    // The complete message text: header, HTML body, inline pictures, attachments.
    std::string ComposeMessage();

    int port;
    int userValue;
    platform::TcpSocket socket;
    std::string server;
    std::string userName;
    std::string password;
    std::string sender;
    std::string toList;
    std::string ccList;
    std::string subject;
    std::string htmlBody;
    int recipientRefused = 0;
    std::vector<std::string> attachments;
    SmtpTimeouts timeouts;

private:
    platform::Milliseconds ReplyTimeout(SmtpStep step) const;
    bool SendRecipients(const std::string& list);

    bool socketLibraryStarted_ = false;
};

}  // namespace ziromail
