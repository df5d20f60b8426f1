#include "mail/smtp/smtp_client.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "mail/smtp/smtp_wire.h"

namespace ziromail {

namespace {

constexpr std::size_t kReplySize = 256;
// A whole reply longer than this is no server's answer to EHLO.
constexpr std::size_t kLongestReply = 8192;

bool Begins(const std::array<char, kReplySize>& reply, const char* code) { return std::memcmp(reply.data(), code, 3) == 0; }

const char* SuccessCode(SmtpStep step) {
    switch (step) {
        case SmtpStep::Greeting: return "220";
        case SmtpStep::Ehlo: return "250";
        case SmtpStep::Helo: return "250";
        case SmtpStep::StartTls: return "220";
        case SmtpStep::AuthLogin: return "334";
        case SmtpStep::AuthUser: return "334";
        case SmtpStep::AuthPassword: return "235";
        case SmtpStep::MailFrom: return "250";
        case SmtpStep::RcptTo: return "250";
        case SmtpStep::Data: return "354";
        case SmtpStep::MessageEnd: return nullptr;
    }
    return nullptr;
}

}  // namespace

platform::Milliseconds SmtpClient::ReplyTimeout(SmtpStep step) const {
    switch (step) {
        case SmtpStep::Greeting: return timeouts_.greeting;
        case SmtpStep::Data: return timeouts_.dataStart;
        case SmtpStep::MessageEnd: return timeouts_.dataEnd;
        default: return timeouts_.command;
    }
}

bool SmtpClient::Exchange(SmtpStep step, std::string_view command, bool sendFirst) {
    std::array<char, kReplySize> reply{};
    if (sendFirst && SendAll(*channel_, command.data(), command.size(), timeouts_.send) != 0) return false;
    // One receive per command: what it brings is this step's reply.
    long got = channel_->ReceiveSome(reply.data(), reply.size(), ReplyTimeout(step));
    if (got < 0) return false;
    if (step == SmtpStep::Greeting) greetingRead_ = got > 0;
    if (step == SmtpStep::MessageEnd) return true;
    bool accepted = Begins(reply, SuccessCode(step));
    if (!accepted && (step == SmtpStep::MailFrom || step == SmtpStep::RcptTo) && Begins(reply, "550"))
        recipientRefused_ = true;
    return accepted;
}

bool SmtpClient::ReceiveReply(platform::Milliseconds timeout, SmtpReply& reply) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string received;
    std::array<char, kReplySize> chunk;
    for (;;) {
        reply = ParseReply(received);
        if (reply.state != SmtpReply::State::Incomplete) return reply.state == SmtpReply::State::Complete;
        if (received.size() >= kLongestReply) return false;
        auto left = std::chrono::duration_cast<platform::Milliseconds>(deadline - std::chrono::steady_clock::now());
        long got = channel_->ReceiveSome(chunk.data(), std::min(chunk.size(), kLongestReply - received.size()), left);
        if (got <= 0) return false;
        received.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

// EHLO; HELO instead when the server answers that it knows no EHLO (500 or 502).
bool SmtpClient::Greet(const std::string& server, bool& offersStartTls) {
    std::string ehlo = "ehlo " + server + "\r\n";
    SmtpReply reply;
    offersStartTls = false;
    if (SendAll(*channel_, ehlo.data(), ehlo.size(), timeouts_.send) != 0 ||
        !ReceiveReply(ReplyTimeout(SmtpStep::Ehlo), reply))
        return false;
    if (reply.code == SuccessCode(SmtpStep::Ehlo)) {
        offersStartTls = OffersExtension(reply, "STARTTLS");
        return true;
    }
    return (reply.code == "500" || reply.code == "502") && Exchange(SmtpStep::Helo, "helo " + server + "\r\n", true);
}

// Drops what has arrived and was not read: false when it does not stop coming.
bool SmtpClient::DropUnread() {
    std::array<char, kReplySize> chunk;
    std::size_t dropped = 0;
    long got;
    while ((got = channel_->ReceiveSome(chunk.data(), chunk.size(), platform::Milliseconds(0))) > 0) {
        dropped += static_cast<std::size_t>(got);
        if (dropped > kLongestReply) return false;
    }
    return true;
}

// STARTTLS, the handshake, and EHLO once more: what the server said before TLS
// counts for nothing (RFC 3207 section 4.2), and bytes it pushed after the
// reply to STARTTLS never reach the handshake or the dialogue.
bool SmtpClient::SwitchToTls(const std::string& server) {
    bool offersStartTls = false;
    return Exchange(SmtpStep::StartTls, "starttls\r\n", true) && DropUnread() &&
           channel_->StartTls(server, timeouts_.handshake) && Greet(server, offersStartTls);
}

SmtpSecurity SecurityForPort(int port) {
    if (port == 465) return SmtpSecurity::ImplicitTls;
    if (port == 587) return SmtpSecurity::StartTls;
    return SmtpSecurity::Plain;
}

MailStatus SmtpClient::Connect(const std::string& server, int port) {
    return Connect(server, port, SecurityForPort(port));
}

MailStatus SmtpClient::Connect(const std::string& server, int port, SmtpSecurity security) {
    if (!channel_->Open(server, port, timeouts_.connect)) return MailStatusConnectFailed;
    if (security == SmtpSecurity::ImplicitTls && !channel_->StartTls(server, timeouts_.handshake))
        return MailStatusConnectFailed;
    bool offersStartTls = false;
    if (!Exchange(SmtpStep::Greeting, {}, false) || !Greet(server, offersStartTls)) return MailStatusConnectFailed;
    // Never plain text where TLS was asked for.
    if (security == SmtpSecurity::StartTls && (!offersStartTls || !SwitchToTls(server)))
        return MailStatusConnectFailed;
    return MailStatusOk;
}

MailStatus SmtpClient::Login(std::string_view user, std::string_view password) {
    if (!Exchange(SmtpStep::AuthLogin, "auth login\r\n", true)) return MailStatusError;
    if (!Exchange(SmtpStep::AuthUser, EncodeCredential(user.data(), user.size()), true)) return MailStatusLoginFailed;
    if (!Exchange(SmtpStep::AuthPassword, EncodeCredential(password.data(), password.size()), true))
        return MailStatusLoginFailed;
    return MailStatusOk;
}

// True when the walk may go on; false once a recipient was refused with 550.
bool SmtpClient::SendRecipients(std::string_view list) {
    for (std::string_view address : SplitRecipients(list)) {
        // An address with a line break would smuggle a command of its own: it is not sent.
        if (HasLineBreak(address)) continue;
        std::string command = "rcpt to:<" + std::string(address) + ">\r\n";
        if (!Exchange(SmtpStep::RcptTo, command, true) && recipientRefused_) return false;
    }
    return true;
}

MailStatus SmtpClient::SendEnvelope(std::string_view sender, std::string_view toList, std::string_view ccList) {
    if (HasLineBreak(sender) || !Exchange(SmtpStep::MailFrom, "mail from:<" + std::string(sender) + ">\r\n", true))
        return MailStatusSenderRejected;
    if (!SendRecipients(toList) || !SendRecipients(ccList)) return MailStatusRecipientRefused;
    return MailStatusOk;
}

// Without 354 the server would read the message as commands.
MailStatus SmtpClient::StartMessage() {
    return Exchange(SmtpStep::Data, "data\r\n", true) ? MailStatusOk : MailStatusMessageFailed;
}

MailStatus SmtpClient::SendMessage(std::string message) {
    message += "\r\n.\r\n";
    return Exchange(SmtpStep::MessageEnd, message, true) ? MailStatusOk : MailStatusMessageFailed;
}

MailStatus SmtpClient::Quit() {
    return SendAll(*channel_, "quit\r\n", 6, timeouts_.send) == 0 ? MailStatusOk : MailStatusError;
}

void SmtpClient::QuitAfterFailure() {
    if (greetingRead_) Quit();
}

}  // namespace ziromail
