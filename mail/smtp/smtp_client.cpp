#include "mail/smtp/smtp_client.h"

#include <array>
#include <cstring>

#include "mail/smtp/smtp_wire.h"
#include "platform/socket_library.h"

namespace ziromail {

namespace {

constexpr std::size_t kReplySize = 256;

bool Begins(const std::array<char, kReplySize>& reply, const char* code) { return std::memcmp(reply.data(), code, 3) == 0; }

const char* SuccessCode(SmtpStep step) {
    switch (step) {
        case SmtpStep::Greeting: return "220";
        case SmtpStep::Helo: return "250";
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

SmtpClient::~SmtpClient() {
    socket_.Close();
    if (socketLibraryStarted_) platform::StopSocketLibrary();
}

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
    if (sendFirst && SendAll(socket_, command.data(), command.size(), timeouts_.send) != 0) return false;
    // One receive per command: what it brings is this step's reply.
    if (socket_.ReceiveSome(reply.data(), reply.size(), ReplyTimeout(step)) < 0) return false;
    if (step == SmtpStep::MessageEnd) return true;
    bool accepted = Begins(reply, SuccessCode(step));
    if (!accepted && (step == SmtpStep::MailFrom || step == SmtpStep::RcptTo) && Begins(reply, "550"))
        recipientRefused_ = true;
    return accepted;
}

MailStatus SmtpClient::Connect(const std::string& server, int port) {
    if (!platform::StartSocketLibrary()) return MailStatusConnectFailed;
    socketLibraryStarted_ = true;
    if (!socket_.Open()) return MailStatusConnectFailed;
    // An unresolved name must not fall back to the all-zero address, which reaches this very host.
    std::uint32_t address = 0;
    if (platform::ResolveAddress(server.c_str(), address) != 0) return MailStatusConnectFailed;
    if (!socket_.Connect(address, static_cast<std::uint16_t>(port), timeouts_.connect)) return MailStatusConnectFailed;
    if (!Exchange(SmtpStep::Greeting, {}, false)) return MailStatusConnectFailed;
    if (!Exchange(SmtpStep::Helo, "helo " + server + "\r\n", true)) return MailStatusConnectFailed;
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
    return SendAll(socket_, "quit\r\n", 6, timeouts_.send) == 0 ? MailStatusOk : MailStatusError;
}

}  // namespace ziromail
