// Throws arbitrary datagrams at the RTP receive path, with accepted payloads fed
// to the playback assembly as the engine does.
#include "talk/rtp/playback_assembly.h"
#include "tests/talk/fuzz/fuzz_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rtp::RtpSessionState state = rtp::fuzz::MakeState();
    rtp::AssemblyBuffer buffer{};
    int32_t count = 0;
    CBufferMonitor playback{4096};
    rtp::fuzz::ForEachDatagram(data, size, [&](std::span<const uint8_t> datagram, uint32_t now) {
        const auto payload = rtp::TakeRtpPacket(state, rtp::fuzz::kPeerAddress, 50000, now, datagram);
        if (payload.empty()) return;
        rtp::AppendToAssembly(buffer, count, playback, payload.data(), payload.size());
        rtp::fuzz::Check(count >= 0 && count < rtp::kFramesPerPlaybackBlock);
    });
    rtp::fuzz::CheckState(state);
    return 0;
}
