// A host program that does what the messenger does for a talk: UDP sockets on
// the talk port and the port above it, the engine's packets sent with sendto,
// every datagram received handed back to the engine with its sender.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "audio/virtual/virtual_wave_devices.h"
#include "call_options.h"
#include "call_statistics.h"
#include "common/tool_info.h"
#include "pcap_writer.h"
#include "platform/clock.h"
#include "platform/socket_library.h"
#include "platform/thread_name.h"
#include "platform/udp_socket.h"
#include "talk/rtp/rtp_session.h"
#include "talk/talk_engine.h"

namespace {

constexpr uint32_t kLoopback = 0x0100007F;  // 127.0.0.1 in network order

struct CallHost {
    uint16_t port = 0;
    std::unique_ptr<platform::UdpSocket> rtp;
    std::unique_ptr<platform::UdpSocket> rtcp;
    PcapWriter pcap;
    bool capturing = false;
    std::atomic<bool> running{true};
    TalkEngine* engine = nullptr;
    rtp::RtpSession* session = nullptr;
};

CallHost* g_host = nullptr;  // the callback's context names this one host

uint64_t NowMicros() {
    const platform::WallTime now = platform::SystemClock().WallNow();
    return uint64_t(now.seconds) * 1000000u + uint64_t(now.microseconds);
}

int SendFromHost(uint32_t, uint32_t ip, uint32_t port, const uint8_t* data, int32_t length, int32_t isRtcp) {
    CallHost& host = *g_host;
    platform::UdpSocket& socket = isRtcp ? *host.rtcp : *host.rtp;
    socket.SendTo(ip, uint16_t(port), data, length);
    if (host.capturing)
        host.pcap.Write(NowMicros(), kLoopback, uint16_t(host.port + (isRtcp ? 1 : 0)), ip, uint16_t(port), data,
                        length);
    return 0;
}

// Waits in the socket without a time limit, so a quiet port costs nothing;
// WakeReceiver ends the wait when the call is over.
void ReceiveLoop(CallHost& host, platform::UdpSocket& socket, uint16_t localPort) {
    platform::NameThisThread(localPort == host.port ? "rtp-in" : "rtcp-in");
    std::vector<uint8_t> buffer(65536);
    for (;;) {
        platform::Datagram from;
        const bool received = socket.Receive(buffer.data(), int32_t(buffer.size()), from, -1);
        if (!host.running) return;
        if (!received) continue;
        if (host.capturing)
            host.pcap.Write(NowMicros(), from.address, from.port, kLoopback, localPort, buffer.data(), from.length);
        host.engine->ReceiveDatagram(from.address, from.port, buffer.data(), from.length);
    }
}

// An empty datagram from the socket to itself: its receive loop wakes and sees the call over.
void WakeReceiver(platform::UdpSocket& socket, uint16_t localPort) {
    const uint8_t nothing = 0;
    socket.SendTo(kLoopback, localPort, &nothing, 0);
}

// A call between files leaves the sound card's mixer alone.
TalkEngineServices ServicesKeepingSession(CallHost& host, const CallOptions& options) {
    TalkEngineServices services = DefaultTalkEngineServices();
    if (!options.micFile.empty() && !options.speakerFile.empty()) {
        services.makeMixer = [] { return std::make_unique<NoMixer>(); };
    }
    services.makeSession = [&host](PacketSender send, rtp::ReceiveStreams& received) {
        std::unique_ptr<TalkSession> session = MakeRtpSession(std::move(send), received);
        host.session = static_cast<rtp::RtpSession*>(session.get());
        return session;
    };
    return services;
}

int Fail(const std::string& message, int code) {
    std::fprintf(stderr, "tarnel-call: %s\n", message.c_str());
    return code;
}

int RunCall(const CallOptions& options, CallHost& host) {
    host.engine = new TalkEngine(ServicesKeepingSession(host, options));
    host.engine->SetSendCallback(1, SendFromHost);
    host.engine->BeginTalk(options.port);
    for (const CallPeer& peer : options.peers) host.engine->AddDestination(peer.address.c_str(), peer.port);
    std::thread rtpReceiver(ReceiveLoop, std::ref(host), std::ref(*host.rtp), options.port);
    std::thread rtcpReceiver(ReceiveLoop, std::ref(host), std::ref(*host.rtcp), uint16_t(options.port + 1));

    std::this_thread::sleep_for(std::chrono::duration<double>(options.seconds));
    const rtp::SessionStatistics statistics = host.session->Statistics();
    host.engine->EndTalk();
    host.running = false;
    WakeReceiver(*host.rtp, options.port);
    WakeReceiver(*host.rtcp, uint16_t(options.port + 1));
    rtpReceiver.join();
    rtcpReceiver.join();
    ReleaseTalkEngine(host.engine);

    std::printf("talk on port %u ended after %.1f s: %u packets sent, %zu source(s) heard\n", options.port,
                options.seconds, statistics.packetsSent, statistics.sources.size());
    if (!options.speakerFile.empty()) std::printf("received audio written to %s\n", options.speakerFile.c_str());
    if (options.stats) std::printf("%s\n", StatisticsJson(statistics).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (PrintToolInfo(argc, argv, "tarnel-call", kCallUsage)) return 0;
    std::string error;
    const auto options = ParseCallOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "tarnel-call: %s\n%s", error.c_str(), kCallUsage);
        return 2;
    }
    if (!platform::StartSocketLibrary()) return Fail("the socket library does not start", 3);
    CallHost host;
    g_host = &host;
    host.port = options->port;
    host.rtp = platform::BindUdp(options->port);
    host.rtcp = platform::BindUdp(uint16_t(options->port + 1));
    if (!host.rtp || !host.rtcp)
        return Fail("cannot use port " + std::to_string(options->port) + " and the one above it", 3);
    auto factory = MakeFileOrDeviceWaveFactory(options->micFile, options->speakerFile);
    if (!factory) return Fail("cannot read the microphone file or create the speaker file", 2);
    SetWaveDeviceFactory(factory);
    if (!options->pcapFile.empty()) {
        if (!host.pcap.Open(options->pcapFile)) return Fail("cannot create " + options->pcapFile, 2);
        host.capturing = true;
    }
    return RunCall(*options, host);
}
