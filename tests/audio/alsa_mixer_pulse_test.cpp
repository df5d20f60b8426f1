// The ALSA mixer on a real sound server (run by scripts/with-sound-server),
// checked against what the server itself says. The percent operations are
// checked through the library's exports (tests/talk/tarnel_mixer_test.cpp).
#include <gtest/gtest.h>

#include "audio/mixer/talk_mixer.h"
#include "tests/audio/pulse_observer.h"

namespace {

// What the voice-message recorder writes: the microphone at its top, the speakers at about half.
TEST(AlsaMixerOnSoundServer, RawVolumesReachTheServer) {
    ASSERT_TRUE(Pactl("set-source-volume mic 10%")) << "no sound server: run under scripts/with-sound-server";
    const auto mixer = MakePlatformMixer(MixerCalls::Narrow);
    EXPECT_TRUE(mixer->SetMicVolumeRaw(0xFFFF));
    EXPECT_EQ(PactlPercent("get-source-volume mic"), 100);
    EXPECT_TRUE(mixer->SetSpeakerVolumeRaw(0x7FFF));
    EXPECT_EQ(PactlPercent("get-sink-volume spk"), 50);
    // The server's mixer has no microphone element of its own: nothing to select or mute.
    EXPECT_FALSE(mixer->SelectMicrophoneAsRecordSource());
    EXPECT_FALSE(mixer->MuteFirstMicrophoneLine());
    EXPECT_FALSE(PactlMuted("get-source-mute mic"));
}

}  // namespace
