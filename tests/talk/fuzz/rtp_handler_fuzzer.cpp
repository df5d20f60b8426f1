// Throws arbitrary datagrams at the RTP handler, with received payloads fed to
// the playback assembly as the engine does.
#include "talk/rtp/playback_assembly.h"
#include "tests/talk/fuzz/fuzz_session.h"

namespace {

struct Playback {
    rtp::AssemblyBuffer buffer{};
    int32_t count = 0;
    CBufferMonitor queue{4096};
};

void Assemble(void* context, const rtp::RtpPacketInfo&, const uint8_t* payload, size_t length) {
    auto* playback = static_cast<Playback*>(context);
    rtp::AppendToAssembly(playback->buffer, playback->count, playback->queue, payload, length);
    rtp::fuzz::Check(playback->count >= 0 && playback->count < rtp::kFramesPerPlaybackBlock);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rtp::fuzz::SteppingClock clock;
    auto state = rtp::fuzz::MakeSession(clock);
    Playback playback;
    rtp::SetPayloadHook(*state, Assemble, &playback);
    rtp::fuzz::ForEachDatagram(data, size, [&](const uint8_t* datagram, size_t length) {
        rtp::HandleRtp(state.get(), rtp::fuzz::kPeerAddress, 50000, datagram, length);
    });
    rtp::fuzz::CheckSession(*state);
    return 0;
}
