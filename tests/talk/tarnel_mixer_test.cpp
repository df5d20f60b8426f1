// The library's six volume and mute functions on a real sound server (run by
// scripts/with-sound-server), checked against what the server itself says.
#include <gtest/gtest.h>

#include "talk/tarnel.h"
#include "tests/audio/pulse_observer.h"

namespace {

class TarnelMixer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Pactl("set-sink-volume spk 30%")) << "no sound server: run under scripts/with-sound-server";
        ASSERT_TRUE(Pactl("set-sink-mute spk 1"));
        ASSERT_TRUE(Pactl("set-source-volume mic 20%"));
        engine = Tarnel_Ini();
        ASSERT_NE(engine, nullptr);
    }
    void TearDown() override { Tarnel_Release(engine); }

    TalkEngine* engine = nullptr;
};

TEST_F(TarnelMixer, ANewEngineTurnsBothVolumesUpAndUnmutesTheSpeakersOnly) {
    EXPECT_EQ(PactlPercent("get-sink-volume spk"), 100);
    EXPECT_FALSE(PactlMuted("get-sink-mute spk"));
    EXPECT_EQ(PactlPercent("get-source-volume mic"), 100);
    EXPECT_FALSE(PactlMuted("get-source-mute mic"));
    EXPECT_EQ(Tarnel_GetSpeakerVol(engine), 100);
    EXPECT_EQ(Tarnel_GetMicVol(engine), 100);
}

TEST_F(TarnelMixer, TheSpeakerVolumeIsSetAndReadInPercent) {
    Tarnel_SetSpeakerVol(engine, 40);
    EXPECT_EQ(PactlPercent("get-sink-volume spk"), 40);
    EXPECT_EQ(Tarnel_GetSpeakerVol(engine), 40);
    Tarnel_SetSpeakerVol(engine, 73);
    EXPECT_NEAR(PactlPercent("get-sink-volume spk"), 73, 1);
    EXPECT_NEAR(Tarnel_GetSpeakerVol(engine), 73, 1);
    Tarnel_SetSpeakerVol(engine, -5);
    EXPECT_EQ(PactlPercent("get-sink-volume spk"), 0);
    EXPECT_EQ(Tarnel_GetSpeakerVol(engine), 0);
    Tarnel_SetSpeakerVol(engine, 150);
    EXPECT_EQ(PactlPercent("get-sink-volume spk"), 100);
    ASSERT_TRUE(Pactl("set-sink-volume spk 65%"));  // changed by someone else
    EXPECT_NEAR(Tarnel_GetSpeakerVol(engine), 65, 1);
}

TEST_F(TarnelMixer, TheSpeakersMuteAndUnmute) {
    Tarnel_MutSpeaker(engine);
    EXPECT_TRUE(PactlMuted("get-sink-mute spk"));
    Tarnel_NoMutSpeaker(engine);
    EXPECT_FALSE(PactlMuted("get-sink-mute spk"));
    EXPECT_FALSE(PactlMuted("get-source-mute mic"));
}

TEST_F(TarnelMixer, TheMicrophoneVolumeIsSetAndReadInPercent) {
    Tarnel_SetMicVol(engine, 30);
    EXPECT_NEAR(PactlPercent("get-source-volume mic"), 30, 1);
    EXPECT_NEAR(Tarnel_GetMicVol(engine), 30, 1);
    Tarnel_SetMicVol(engine, 0);
    EXPECT_EQ(PactlPercent("get-source-volume mic"), 0);
    EXPECT_EQ(Tarnel_GetMicVol(engine), 0);
}

TEST_F(TarnelMixer, ANullEngineLeavesTheCardAlone) {
    Tarnel_SetSpeakerVol(nullptr, 10);
    Tarnel_SetMicVol(nullptr, 10);
    Tarnel_MutSpeaker(nullptr);
    EXPECT_EQ(Tarnel_GetSpeakerVol(nullptr), 0);
    EXPECT_EQ(PactlPercent("get-sink-volume spk"), 100);
    EXPECT_EQ(PactlPercent("get-source-volume mic"), 100);
    EXPECT_FALSE(PactlMuted("get-sink-mute spk"));
}

}  // namespace
