#include "talk/rtp/rtp_session_state.h"

#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/slot_table.h"
#include "talk/rtp/ssrc.h"

namespace rtp {

RtpSessionState CreateState(uint16_t port, uint32_t seed, std::string cname) {
    RtpSessionState state;
    state.talkPort = port;
    state.talkPortPlusOne = uint16_t(port + 1);
    state.ssrc = DrawSsrc(seed);
    state.cname = std::move(cname);
    return state;
}

bool AddDestination(RtpSessionState& state, uint32_t address, uint16_t port) {
    const TalkDestination destination{address, port};
    if (!destination.Used()) return false;  // would read as an empty slot
    return InsertInFirstFree(state.destinations, destination);
}

bool AddDestination(RtpSessionState& state, const char* ipText, uint16_t port) {
    const auto address = ParseIpv4(ipText);
    return address && AddDestination(state, *address, port);
}

bool RemoveDestination(RtpSessionState& state, uint32_t address, uint16_t port) {
    for (size_t i = 0; i < kMaxDestinations; ++i) {
        const TalkDestination& d = state.destinations[i];
        if (d.Used() && d.address == address && d.port == port) {
            RemoveAndCloseGap(state.destinations, i);
            return true;
        }
    }
    return false;
}

bool RemoveDestination(RtpSessionState& state, const char* ipText, uint16_t port) {
    const auto address = ParseIpv4(ipText);
    return address && RemoveDestination(state, *address, port);
}

}  // namespace rtp
