#include "mail/smtp/smtp_session.h"

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

SmtpSession::SmtpSession(std::string serverName, int serverPort, int hostValue)
    : port(serverPort), userValue(hostValue), server(std::move(serverName)) {}

SmtpSession::~SmtpSession() {
    socket.Close();
    if (socketLibraryStarted_) platform::StopSocketLibrary();
}

platform::Milliseconds SmtpSession::ReplyTimeout(SmtpStep step) const {
    switch (step) {
        case SmtpStep::Greeting: return timeouts.greeting;
        case SmtpStep::Data: return timeouts.dataStart;
        case SmtpStep::MessageEnd: return timeouts.dataEnd;
        default: return timeouts.command;
    }
}

bool SmtpSession::Exchange(SmtpStep step, std::string_view command, bool sendFirst) {
    std::array<char, kReplySize> reply{};
    if (sendFirst && SendAll(socket, command.data(), command.size(), timeouts.send) != 0) return false;
    // One receive per command: what it brings is this step's reply.
    if (socket.ReceiveSome(reply.data(), reply.size(), ReplyTimeout(step)) < 0) return false;
    if (step == SmtpStep::MessageEnd) return true;
    bool accepted = Begins(reply, SuccessCode(step));
    if (!accepted && (step == SmtpStep::MailFrom || step == SmtpStep::RcptTo) && Begins(reply, "550"))
        recipientRefused = -7;
    return accepted;
}

bool SmtpSession::Connect(const char* serverName) {
    if (!platform::StartSocketLibrary()) return false;
    socketLibraryStarted_ = true;
    if (!socket.Open()) return false;
    // An unresolved name must not fall back to the all-zero address, which reaches this very host.
    std::uint32_t address = 0;
    if (platform::ResolveAddress(serverName, address) != 0) return false;
    if (!socket.Connect(address, static_cast<std::uint16_t>(port), timeouts.connect)) return false;
    if (!Exchange(SmtpStep::Greeting, {}, false)) return false;
    return Exchange(SmtpStep::Helo, "helo " + std::string(serverName) + "\r\n", true);
}

int SmtpSession::Login() {
    if (!Exchange(SmtpStep::AuthLogin, "auth login\r\n", true)) return -1;
    if (!Exchange(SmtpStep::AuthUser, EncodeCredential(userName.data(), userName.size()), true)) return -3;
    if (!Exchange(SmtpStep::AuthPassword, EncodeCredential(password.data(), password.size()), true)) return -3;
    return 0;
}

}  // namespace ziromail
