#pragma once
// A raw TCP server on 127.0.0.1 that plays a fixed script against one client
// and records every byte the client sent.
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/loopback_listener.h"

namespace mailtest {

using platform::Milliseconds;

struct ScriptStep {
    enum Kind { Reply, ReadLine, ReadMessage, Pause, WaitFor, ShutdownSending } kind;
    std::string text;                  // Reply: bytes to send
    Milliseconds pause{0};             // Pause: how long
    std::shared_future<void> gate{};   // WaitFor: released by the test
};

ScriptStep Reply(std::string text);
ScriptStep ReadLine();
ScriptStep ReadMessage();  // up to and including "\r\n.\r\n"
ScriptStep Pause(Milliseconds duration);
ScriptStep WaitFor(std::shared_future<void> gate);
ScriptStep ShutdownSending();

// The replies of a server that accepts everything, for a session with `recipients` RCPT commands.
std::vector<ScriptStep> AcceptingScript(int recipients);

class ScriptedServer {
public:
    explicit ScriptedServer(std::vector<ScriptStep> script);
    ~ScriptedServer();

    std::uint16_t Port() const { return listener_.Port(); }
    // Waits for the client to close and returns all it sent.
    std::string Transcript();

private:
    void Run(std::vector<ScriptStep> script);
    bool Fill(Milliseconds timeout);
    bool ReadUntil(const std::string& terminator);

    platform::LoopbackListener listener_;
    std::string received_;
    std::size_t consumed_ = 0;
    std::unique_ptr<platform::LoopbackConnection> connection_;
    std::thread thread_;
};

}  // namespace mailtest
