// The ALSA mixer on a real sound server (run by scripts/with-sound-server),
// checked against what the server itself says.
#include <gtest/gtest.h>

#include "audio/mixer/talk_mixer.h"
#include "tests/audio/pulse_observer.h"

namespace {

class AlsaMixerOnSoundServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Pactl("set-sink-volume spk 10%")) << "no sound server: run under scripts/with-sound-server";
        ASSERT_TRUE(Pactl("set-source-volume mic 10%"));
    }
    std::unique_ptr<TalkMixer> mixer = MakePlatformMixer(MixerCalls::Wide);
};

TEST_F(AlsaMixerOnSoundServer, VolumesInPercentReachTheServerAndAreReadFromIt) {
    EXPECT_TRUE(mixer->SetSpeakerVolume(40));
    EXPECT_EQ(PactlPercent("get-sink-volume spk"), 40);
    EXPECT_EQ(mixer->GetSpeakerVolume(), 40);
    EXPECT_TRUE(mixer->SetMicVolume(30));
    EXPECT_NEAR(PactlPercent("get-source-volume mic"), 30, 1);
    EXPECT_NEAR(mixer->GetMicVolume(), 30, 1);
    ASSERT_TRUE(Pactl("set-sink-volume spk 65%"));
    EXPECT_NEAR(mixer->GetSpeakerVolume(), 65, 1);
}

// What the voice-message recorder writes: the microphone at its top, the speakers at about half.
TEST_F(AlsaMixerOnSoundServer, RawVolumesAreWrittenOnce) {
    EXPECT_TRUE(mixer->SetMicVolumeRaw(0xFFFF));
    EXPECT_EQ(PactlPercent("get-source-volume mic"), 100);
    EXPECT_TRUE(mixer->SetSpeakerVolumeRaw(0x7FFF));
    EXPECT_EQ(PactlPercent("get-sink-volume spk"), 50);
}

TEST_F(AlsaMixerOnSoundServer, TheSpeakersMuteAndUnmuteButTheMicrophoneIsNeverMuted) {
    EXPECT_TRUE(mixer->SetSpeakerMute(true));
    EXPECT_TRUE(PactlMuted("get-sink-mute spk"));
    EXPECT_TRUE(mixer->SetSpeakerMute(false));
    EXPECT_FALSE(PactlMuted("get-sink-mute spk"));
    // The server's mixer has no microphone element of its own: nothing to select or mute.
    EXPECT_FALSE(mixer->SelectMicrophoneAsRecordSource());
    EXPECT_FALSE(mixer->MuteFirstMicrophoneLine());
    EXPECT_FALSE(PactlMuted("get-source-mute mic"));
}

}  // namespace
