#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace rtp {
class ReceiveStreams;
}

// Hands one packet to the host: the peer's IPv4 address in network order, its
// port in host order, and whether the packet is RTCP. The bytes are valid during
// the call only.
using PacketSender =
    std::function<void(uint32_t address, uint16_t port, std::span<const uint8_t> packet, bool isRtcp)>;

// The RTP/RTCP side of an engine: the running talk's destinations, sources,
// counters and reports, and the feed of received voice to the sources' streams.
// Outside a talk (before Begin, after End) every call but Begin does nothing.
// Ports of received datagrams are taken as the host passed them.
class TalkSession {
public:
    virtual ~TalkSession() = default;
    // Starts a talk on `port`: a fresh SSRC, no destinations, no sources.
    virtual void Begin(uint16_t port) = 0;
    // Says goodbye to every peer and forgets the talk, with the received voice not yet played.
    virtual void End() = 0;
    virtual void AddDestination(const char* ipText, uint16_t port) = 0;
    virtual void RemoveDestination(const char* ipText, uint16_t port) = 0;
    // One frame block read from the capture queue.
    virtual void SendVoice(std::span<const uint8_t> block) = 0;
    virtual void SendSenderReport() = 0;
    virtual void SendReceiverReport() = 0;
    // An RTP datagram: counted, and its frame put in its place in its source's stream.
    virtual void ReceiveRtp(uint32_t ip, uint16_t port, std::span<const uint8_t> datagram) = 0;
    virtual void ReceiveRtcp(uint32_t ip, uint16_t port, std::span<const uint8_t> datagram) = 0;
};

// Makes an engine's session, which hands its packets to `send` and its received voice to `received`.
using TalkSessionFactory =
    std::function<std::unique_ptr<TalkSession>(PacketSender send, rtp::ReceiveStreams& received)>;
