#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "talk/talk_session.h"
#include "talk/tarnel.h"

using DatagramHandler = void (*)(void* context, uint32_t ip, uint16_t port, const uint8_t* data,
                                 int32_t length);

// The host-facing side of the engine's transport: the receive handlers, the
// host's send callback and the state of the running talk.
struct RtpSession {
    DatagramHandler rtpHandler = nullptr;
    DatagramHandler rtcpHandler = nullptr;
    std::atomic<SendCallback> sendCallback{nullptr};
    std::atomic<uint32_t> sendContext{0};
    void* rtpContext = nullptr;
    void* rtcpContext = nullptr;
    // The host thread and the sender thread both use the state; this lock
    // keeps them apart. Recursive, so a callback on the same thread cannot deadlock.
    std::recursive_mutex stateLock;
    std::unique_ptr<TalkSession> state;  // present only while a talk runs
};

// Calls the host's callback if one is registered; otherwise the packet is dropped.
void SendThroughHost(RtpSession& session, uint32_t ip, uint32_t port, const uint8_t* data,
                     int32_t length, bool isRtcp);
