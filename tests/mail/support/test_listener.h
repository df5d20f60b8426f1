#pragma once
// The server side of a test: a listening socket on 127.0.0.1 and its connections.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace mailtest {

using Milliseconds = std::chrono::milliseconds;

class TestConnection {
public:
    explicit TestConnection(std::intptr_t handle) : handle_(handle) {}
    ~TestConnection();
    TestConnection(const TestConnection&) = delete;
    TestConnection& operator=(const TestConnection&) = delete;

    bool Send(std::string_view data);
    // Bytes received, 0 when the peer closed, -1 on an error or time-out.
    long Receive(char* buffer, std::size_t capacity, Milliseconds timeout);
    // Ends our direction only: the peer reads end of stream, we can still read.
    void ShutdownSending();

private:
    std::intptr_t handle_;
};

class TestListener {
public:
    // `backlog`: connections the system completes before accept (0 keeps it minimal).
    explicit TestListener(int backlog = 8);
    ~TestListener();
    TestListener(const TestListener&) = delete;
    TestListener& operator=(const TestListener&) = delete;

    std::uint16_t Port() const { return port_; }
    // The next connection, or null when none came in time.
    std::unique_ptr<TestConnection> Accept(Milliseconds timeout);
    void Close();

private:
    std::intptr_t handle_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace mailtest
