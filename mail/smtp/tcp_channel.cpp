#include "mail/smtp/smtp_channel.h"
#include "platform/socket_library.h"
#include "platform/tls_session.h"

namespace ziromail {

namespace {

class TcpChannel final : public SmtpChannel {
public:
    ~TcpChannel() override {
        tls_.reset();  // its close_notify goes out before the socket closes
        socket_.Close();
        if (libraryStarted_) platform::StopSocketLibrary();
    }

    bool Open(const std::string& server, int port, platform::Milliseconds timeout) override {
        if (!platform::StartSocketLibrary()) return false;
        libraryStarted_ = true;
        if (!socket_.Open()) return false;
        // An unresolved name must not fall back to the all-zero address, which reaches this very host.
        std::uint32_t address = 0;
        if (platform::ResolveAddress(server.c_str(), address) != 0) return false;
        return socket_.Connect(address, static_cast<std::uint16_t>(port), timeout);
    }

    long SendSome(const char* data, std::size_t length, platform::Milliseconds timeout) override {
        if (tlsFailed_) return -1;
        return tls_ ? tls_->SendSome(data, length, timeout) : socket_.SendSome(data, length, timeout);
    }

    long ReceiveSome(char* buffer, std::size_t capacity, platform::Milliseconds timeout) override {
        if (tlsFailed_) return -1;
        return tls_ ? tls_->ReceiveSome(buffer, capacity, timeout) : socket_.ReceiveSome(buffer, capacity, timeout);
    }

    bool StartTls(const std::string& server, platform::Milliseconds timeout) override {
        tls_ = tlsFailed_ ? nullptr : platform::StartTlsSession(socket_, server, timeout);
        tlsFailed_ = !tls_;
        return !tlsFailed_;
    }

private:
    platform::TcpSocket socket_;
    std::unique_ptr<platform::TlsSession> tls_;  // reads and writes socket_
    bool tlsFailed_ = false;                     // nothing more goes to or comes from that server
    bool libraryStarted_ = false;
};

}  // namespace

std::unique_ptr<SmtpChannel> MakeTcpChannel() { return std::make_unique<TcpChannel>(); }

}  // namespace ziromail
