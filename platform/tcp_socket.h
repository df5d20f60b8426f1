#pragma once
// One TCP client connection over IPv4. Every wait is bounded by the time-out
// the caller gives, so a silent peer cannot hold a thread for ever.
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace platform {

using Milliseconds = std::chrono::milliseconds;

// Fills `address` (network byte order) from a dotted IPv4 address or a host
// name. Returns 0, or -1 when the name cannot be resolved (address then 0).
int ResolveAddress(const char* name, std::uint32_t& address);

class TcpSocket {
public:
    TcpSocket() = default;
    explicit TcpSocket(std::intptr_t handle) : handle_(handle) {}
    ~TcpSocket() { Close(); }
    TcpSocket(TcpSocket&& other) noexcept : handle_(other.handle_) { other.handle_ = kInvalid; }
    TcpSocket& operator=(TcpSocket&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = kInvalid;
        }
        return *this;
    }
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Creates the socket; false when the system refuses one.
    bool Open();
    bool IsOpen() const { return handle_ != kInvalid; }
    // address in network byte order, port in host order.
    bool Connect(std::uint32_t address, std::uint16_t port, Milliseconds timeout);
    // Bytes sent (at least 1), or -1 on an error or when nothing could be sent in time.
    long SendSome(const char* data, std::size_t length, Milliseconds timeout);
    // Bytes received, 0 when the peer closed, -1 on an error or when nothing arrived in time.
    // With no time to wait (zero or less), only what has already arrived.
    long ReceiveSome(char* buffer, std::size_t capacity, Milliseconds timeout);
    void Close();

private:
    static constexpr std::intptr_t kInvalid = -1;
    std::intptr_t handle_ = kInvalid;
};

}  // namespace platform
