// Throws arbitrary datagrams at the RTCP handler of a session that knows a few sources.
#include "tests/talk/fuzz/fuzz_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rtp::fuzz::SteppingClock clock;
    auto state = rtp::fuzz::MakeSession(clock);
    rtp::SetReportHook(*state, [](void*, int) {}, nullptr);
    rtp::fuzz::ForEachDatagram(data, size, [&](const uint8_t* datagram, size_t length) {
        rtp::HandleRtcp(state.get(), rtp::fuzz::kPeerAddress, 50001, datagram, length);
    });
    rtp::fuzz::CheckSession(*state);
    return 0;
}
