// Throws arbitrary datagrams at the RTCP receive path of a talk that knows a few sources.
#include "talk/rtp/rtcp_receive.h"
#include "tests/talk/fuzz/fuzz_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rtp::RtpSessionState state = rtp::fuzz::MakeState();
    rtp::fuzz::ForEachDatagram(data, size, [&](std::span<const uint8_t> datagram, uint32_t now) {
        rtp::TakeRtcpCompound(state, rtp::fuzz::kPeerAddress, 50001, now, datagram);
    });
    rtp::fuzz::CheckState(state);
    return 0;
}
