#include <gtest/gtest.h>

#include "talk/rtp/ipv4_text.h"
#include "talk/rtp/rtp_session_state.h"
#include "talk/rtp/ssrc.h"

namespace rtp {
namespace {

class Destinations : public ::testing::Test {
protected:
    RtpSessionState state = CreateState(40000, 1, "u@h");
    uint32_t Ip(uint8_t last) { return Ipv4FromBytes(10, 0, 0, last); }
};

TEST_F(Destinations, CreateStateStoresPortsAndDrawsSsrcFromSeed) {
    EXPECT_EQ(state.talkPort, 40000);
    EXPECT_EQ(state.talkPortPlusOne, 40001);
    EXPECT_EQ(state.ssrc, DrawSsrc(1));
    EXPECT_EQ(state.nextSequence, 0);
    EXPECT_EQ(state.cname, "u@h");
    EXPECT_FALSE(state.destinations[0].Used());
    EXPECT_FALSE(state.sources[0].Used());
}

TEST_F(Destinations, TextAddressIsStoredInNetworkOrderWithHostOrderPort) {
    EXPECT_TRUE(AddDestination(state, "10.0.0.7", 40002));
    EXPECT_EQ(state.destinations[0].address, Ip(7));
    EXPECT_EQ(state.destinations[0].port, 40002);
}

TEST_F(Destinations, UnparsableTextIsNotStored) {
    EXPECT_FALSE(AddDestination(state, "10.0.0", 40002));
    EXPECT_FALSE(state.destinations[0].Used());
}

TEST_F(Destinations, SameAddressAndPortTwiceTakesTwoSlots) {
    AddDestination(state, "10.0.0.7", 40002);
    AddDestination(state, "10.0.0.7", 40002);
    EXPECT_TRUE(state.destinations[1].Used());
    EXPECT_EQ(state.destinations[1].address, Ip(7));
}

TEST_F(Destinations, SixteenSlotsThenFull) {
    for (uint8_t i = 1; i <= 16; ++i) EXPECT_TRUE(AddDestination(state, Ip(i), 5000));
    EXPECT_FALSE(AddDestination(state, Ip(17), 5000));
    EXPECT_EQ(state.destinations[15].address, Ip(16));
    EXPECT_TRUE(RemoveDestination(state, Ip(3), 5000));
    EXPECT_TRUE(AddDestination(state, Ip(17), 5000));
    EXPECT_EQ(state.destinations[15].address, Ip(17));
}

TEST_F(Destinations, RemovingSecondOfFiveMovesFifthIntoHole) {
    for (uint8_t i = 1; i <= 5; ++i) AddDestination(state, Ip(i), 5000);
    EXPECT_TRUE(RemoveDestination(state, "10.0.0.2", 5000));
    const uint8_t expected[] = {1, 5, 3, 4};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(state.destinations[i].address, Ip(expected[i])) << i;
    EXPECT_FALSE(state.destinations[4].Used());
}

TEST_F(Destinations, RemoveNeedsAddressAndPortToMatch) {
    AddDestination(state, Ip(1), 5000);
    EXPECT_FALSE(RemoveDestination(state, Ip(1), 5002));
    EXPECT_FALSE(RemoveDestination(state, Ip(2), 5000));
    EXPECT_FALSE(RemoveDestination(state, "nonsense", 5000));
    EXPECT_TRUE(state.destinations[0].Used());
    EXPECT_TRUE(RemoveDestination(state, Ip(1), 5000));
    EXPECT_FALSE(state.destinations[0].Used());
}

TEST_F(Destinations, AllZeroDestinationIsRefused) {
    EXPECT_FALSE(AddDestination(state, 0u, 0));
    EXPECT_TRUE(AddDestination(state, 0u, 7));
}

}  // namespace
}  // namespace rtp
