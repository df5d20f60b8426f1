// The winmm mixer's two sets of calls on a real sound server (run by
// scripts/with-sound-server): the 8-bit ones, which the voice-message
// recorder uses, act on the same controls as the wide ones.
#include <gtest/gtest.h>

#include "audio/mixer/talk_mixer.h"

namespace {

TEST(WinmmMixer, TheNarrowAndTheWideCallsAgree) {
    const auto narrow = MakePlatformMixer(MixerCalls::Narrow);
    const auto wide = MakePlatformMixer(MixerCalls::Wide);
    ASSERT_NE(wide->GetSpeakerVolume(), -1) << "no sound server: run under scripts/with-sound-server";
    EXPECT_TRUE(narrow->SetSpeakerVolume(40));
    EXPECT_NEAR(wide->GetSpeakerVolume(), 40, 1);
    EXPECT_TRUE(narrow->SetSpeakerVolumeRaw(0x7FFF));
    EXPECT_NEAR(wide->GetSpeakerVolume(), 50, 1);
    EXPECT_NEAR(narrow->GetSpeakerVolume(), wide->GetSpeakerVolume(), 0);
    EXPECT_TRUE(narrow->SetSpeakerMute(true));
    EXPECT_TRUE(narrow->SetSpeakerMute(false));
    EXPECT_TRUE(narrow->SetMicVolumeRaw(0xFFFF));
    EXPECT_EQ(narrow->GetMicVolume(), wide->GetMicVolume());
}

}  // namespace
