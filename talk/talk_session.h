#pragma once
#include <cstdint>
#include <functional>
#include <memory>

// The RTP/RTCP side of one talk: destinations, sources, counters and reports.
// Created at BeginTalk, destroyed at EndTalk.
class TalkSession {
public:
    virtual ~TalkSession() = default;
    virtual void AddDestination(const char* ipText, uint16_t port) = 0;
    virtual void RemoveDestination(const char* ipText, uint16_t port) = 0;
    // One frame block read from the capture queue.
    virtual void SendVoice(const uint8_t* block, int32_t length) = 0;
    virtual void SendSenderReport() = 0;
    virtual void SendReceiverReport() = 0;
    virtual void SendBye() = 0;
    // Datagrams handed in by the host; port as the host passed it.
    virtual void OnRtp(uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) = 0;
    virtual void OnRtcp(uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) = 0;
};

// Hands one packet to the host: ip in network order, port in host order.
using PacketSender =
    std::function<void(uint32_t ip, uint32_t port, const uint8_t* data, int32_t length, bool isRtcp)>;
// Receives the frame-block payload of every accepted voice packet.
using VoicePayloadSink = std::function<void(const uint8_t* payload, int32_t length)>;

struct TalkSessionSetup {
    uint16_t port = 0;
    PacketSender send;
    VoicePayloadSink deliverVoice;
};

using TalkSessionFactory = std::function<std::unique_ptr<TalkSession>(TalkSessionSetup)>;
