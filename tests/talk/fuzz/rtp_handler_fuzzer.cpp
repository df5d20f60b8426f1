// Throws arbitrary datagrams at the RTP receive path, with accepted payloads
// gathered for playback as the session does.
#include "talk/rtp/playback_assembly.h"
#include "tests/talk/fuzz/fuzz_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rtp::RtpSessionState state = rtp::fuzz::MakeState();
    CBufferMonitor playback{4096};
    rtp::fuzz::ForEachDatagram(data, size, [&](std::span<const uint8_t> datagram, uint32_t now) {
        const auto payload = rtp::TakeRtpPacket(state, rtp::fuzz::kPeerAddress, 50000, now, datagram);
        if (payload.empty()) return;
        rtp::AppendToAssembly(state.assembly, state.assembled, playback, payload.data(), payload.size());
        rtp::fuzz::Check(state.assembled >= 0 && state.assembled < rtp::kFramesPerPlaybackBlock);
    });
    rtp::fuzz::CheckState(state);
    return 0;
}
