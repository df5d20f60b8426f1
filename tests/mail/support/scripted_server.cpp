#include "tests/mail/support/scripted_server.h"

#include <array>

namespace mailtest {

namespace {

constexpr Milliseconds kClientLimit{20000};

}  // namespace

ScriptStep Reply(std::string text) { return {ScriptStep::Reply, std::move(text)}; }
ScriptStep ReadLine() { return {ScriptStep::ReadLine, {}}; }
ScriptStep ReadMessage() { return {ScriptStep::ReadMessage, {}}; }
ScriptStep Pause(Milliseconds duration) { return {ScriptStep::Pause, {}, duration}; }
ScriptStep WaitFor(std::shared_future<void> gate) { return {ScriptStep::WaitFor, {}, Milliseconds{0}, gate}; }
ScriptStep ShutdownSending() { return {ScriptStep::ShutdownSending, {}}; }

std::vector<ScriptStep> AcceptingScript(int recipients) {
    std::vector<ScriptStep> script = {Reply("220 test ESMTP\r\n"), ReadLine(), Reply("250 hello\r\n"),
                                      ReadLine(), Reply("334 VXNlcm5hbWU6\r\n"), ReadLine(),
                                      Reply("334 UGFzc3dvcmQ6\r\n"), ReadLine(), Reply("235 ok\r\n"),
                                      ReadLine(), Reply("250 sender ok\r\n")};
    for (int i = 0; i < recipients; ++i) {
        script.push_back(ReadLine());
        script.push_back(Reply("250 recipient ok\r\n"));
    }
    for (auto step : {ReadLine(), Reply("354 go ahead\r\n"), ReadMessage(), Reply("250 queued\r\n")})
        script.push_back(step);
    return script;
}

ScriptedServer::ScriptedServer(std::vector<ScriptStep> script)
    : thread_([this, script = std::move(script)]() mutable { Run(std::move(script)); }) {}

ScriptedServer::~ScriptedServer() {
    if (thread_.joinable()) thread_.join();
}

std::string ScriptedServer::Transcript() {
    if (thread_.joinable()) thread_.join();
    return received_;
}

bool ScriptedServer::Fill(Milliseconds timeout) {
    std::array<char, 65536> chunk;
    long got = connection_->Receive(chunk.data(), chunk.size(), timeout);
    if (got <= 0) return false;
    received_.append(chunk.data(), static_cast<std::size_t>(got));
    return true;
}

bool ScriptedServer::ReadUntil(const std::string& terminator) {
    for (;;) {
        std::size_t found = received_.find(terminator, consumed_);
        if (found != std::string::npos) {
            consumed_ = found + terminator.size();
            return true;
        }
        if (!Fill(kClientLimit)) return false;
    }
}

void ScriptedServer::Run(std::vector<ScriptStep> script) {
    connection_ = listener_.Accept(kClientLimit);
    if (!connection_) return;
    for (const ScriptStep& step : script) {
        switch (step.kind) {
            case ScriptStep::Reply: connection_->Send(step.text); break;
            case ScriptStep::ReadLine: if (!ReadUntil("\r\n")) return; break;
            case ScriptStep::ReadMessage: if (!ReadUntil("\r\n.\r\n")) return; break;
            case ScriptStep::Pause: std::this_thread::sleep_for(step.pause); break;
            case ScriptStep::WaitFor: step.gate.wait(); break;
            case ScriptStep::ShutdownSending: connection_->ShutdownSending(); break;
        }
    }
    // Whatever else the client sends until it closes belongs to the transcript.
    while (Fill(kClientLimit)) {
    }
    connection_.reset();
}

}  // namespace mailtest
