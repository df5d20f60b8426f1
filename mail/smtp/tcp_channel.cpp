#include "mail/smtp/smtp_channel.h"
#include "platform/socket_library.h"

namespace ziromail {

namespace {

class TcpChannel final : public SmtpChannel {
public:
    ~TcpChannel() override {
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
        return socket_.SendSome(data, length, timeout);
    }

    long ReceiveSome(char* buffer, std::size_t capacity, platform::Milliseconds timeout) override {
        return socket_.ReceiveSome(buffer, capacity, timeout);
    }

private:
    platform::TcpSocket socket_;
    bool libraryStarted_ = false;
};

}  // namespace

std::unique_ptr<SmtpChannel> MakeTcpChannel() { return std::make_unique<TcpChannel>(); }

}  // namespace ziromail
