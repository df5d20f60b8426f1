// Throws arbitrary datagrams at the RTP receive path, with accepted frames put
// in their sources' streams as the session does and playback taking what is
// due after every datagram.
#include "talk/rtp/playback_assembly.h"
#include "talk/rtp/receive_streams.h"
#include "tests/talk/fuzz/fuzz_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rtp::RtpSessionState state = rtp::fuzz::MakeState();
    rtp::ReceiveStreams streams;
    rtp::ReceiveStreams::DueGroups due;
    rtp::fuzz::ForEachDatagram(data, size, [&](std::span<const uint8_t> datagram, uint32_t now) {
        const auto packet = rtp::TakeRtpPacket(state, rtp::fuzz::kPeerAddress, 50000, now, datagram);
        if (!packet) return;
        if (const auto frame = rtp::ReadVoiceFrame(packet->payload))
            streams.Take(packet->header.ssrc, packet->header.sequence, *frame);
        const size_t n = streams.TakeDue(due);
        rtp::fuzz::Check(n <= streams.SourceCount() && streams.SourceCount() <= rtp::ReceiveStreams::kSlots);
        for (size_t i = 0; i < n; ++i) rtp::fuzz::Check(due[i].group.Lost() <= rtp::kFramesPerPlaybackBlock);
    });
    rtp::fuzz::CheckState(state);
    return 0;
}
