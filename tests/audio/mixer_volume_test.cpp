// Speaker and microphone volumes through the mixer classes, on scripted mixers.
#include <gtest/gtest.h>

#include "audio/mixer/mixer.h"
#include "audio/mixer/speaker_volume.h"
#include "audio/mixer/volume_percent.h"
#include "tests/audio/mixer_layouts.h"

namespace {

using Writes = std::vector<std::string>;

TEST(SpeakerVolume, PercentagesAreClampedAndTheSettingAlreadyReadBackWritesNothing) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    card.micVolume->value = 32768;
    EXPECT_EQ(GetSpeakerPercent(mixer), 50);  // 32768 × 100 / 65535
    EXPECT_TRUE(SetSpeakerPercent(mixer, 50));
    EXPECT_TRUE(SetMicPercent(mixer, 50));
    EXPECT_EQ(mixer.Writes(), Writes{});
    EXPECT_TRUE(SetSpeakerPercent(mixer, 150));
    EXPECT_EQ(GetSpeakerPercent(mixer), 100);
    EXPECT_TRUE(SetSpeakerPercent(mixer, -5));
    EXPECT_EQ(GetSpeakerPercent(mixer), 0);
    EXPECT_EQ(mixer.Writes(), (Writes{"set Speakers volume 65535", "set Speakers volume 0"}));
    EXPECT_TRUE(SetMicPercent(mixer, 30));
    EXPECT_EQ(GetMicPercent(mixer), 29);  // 19660: whole percent, rounded down both ways
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

// A driver with 5 % steps keeps 50 % for 52, 53 and 54 %: each write goes 1 % further until one moves it.
TEST(SpeakerVolume, CoarseStepsAreSteppedThroughUntilTheReadBackMoves) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    card.speakerVolume->steps = 20;
    card.micVolume->steps = 20;
    card.micVolume->value = 32768;
    EXPECT_TRUE(SetSpeakerPercent(mixer, 52));
    EXPECT_TRUE(SetMicPercent(mixer, 52));
    EXPECT_EQ(mixer.Writes(), (Writes{"set Speakers volume 34078", "set Speakers volume 34733",
                                      "set Speakers volume 35388", "set Speakers volume 36044",
                                      "set Recording Mic volume 34078", "set Recording Mic volume 34733",
                                      "set Recording Mic volume 35388", "set Recording Mic volume 36044"}));
    EXPECT_EQ(GetSpeakerPercent(mixer), 54);
    mixer.ClearLog();
    EXPECT_TRUE(SetSpeakerPercent(mixer, 48));  // downwards: 48 % falls on the 45 % step at once
    EXPECT_EQ(mixer.Writes(), Writes{"set Speakers volume 31456"});
}

// Whatever the driver does, one call writes at most 101 times.
TEST(MicVolume, SteppingEndsAtTheEndOfTheRange) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    card.micVolume->readsAs = 0;  // as a virtual microphone may
    EXPECT_TRUE(SetMicPercent(mixer, 30));
    EXPECT_EQ(mixer.Writes().size(), 71u);  // 30 % .. 100 %
    EXPECT_EQ(mixer.Writes().back(), "set Recording Mic volume 65535");
    EXPECT_EQ(GetMicPercent(mixer), 0);
    mixer.ClearLog();
    mixer.FailWhen("get Speakers volume");
    EXPECT_TRUE(SetSpeakerPercent(mixer, 0));  // from "-1" upwards: 0 % .. 100 %
    EXPECT_EQ(mixer.Writes().size(), 101u);
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

TEST(SpeakerVolume, EveryFailureGivesTheFailureResult) {
    for (const std::string failure : {"open", "line type 4", "find Speakers", "get Speakers volume"}) {
        ScriptedMixer mixer;
        ClassicCard card(mixer);
        mixer.FailWhen(failure);
        EXPECT_EQ(GetSpeakerPercent(mixer), -1) << failure;
        EXPECT_EQ(mixer.OpenHandles(), 0u) << failure;
    }
    for (const std::string failure : {"open", "line type 4", "find Speakers", "set Speakers"}) {
        ScriptedMixer mixer;
        ClassicCard card(mixer);
        mixer.FailWhen(failure);
        EXPECT_FALSE(SetSpeakerPercent(mixer, 20)) << failure;
        EXPECT_FALSE(SetSpeakerRaw(mixer, 100)) << failure;
        EXPECT_FALSE(UnmuteSpeakers(mixer)) << failure;
        EXPECT_EQ(card.speakerVolume->value, 32768u) << failure;
        EXPECT_EQ(card.speakerMute->value, 1u) << failure;
    }
    ScriptedMixer none;
    EXPECT_EQ(GetSpeakerPercent(none), -1);
    EXPECT_FALSE(SetSpeakerPercent(none, 20));
    EXPECT_FALSE(MuteSpeakers(none));
    EXPECT_EQ(GetMicPercent(none), 0);
    EXPECT_FALSE(SetMicPercent(none, 20));
    EXPECT_EQ(none.Writes(), Writes{});
}

TEST(MicVolume, WithoutAMicrophoneVolumeReadsGiveZeroAndNothingIsWritten) {
    for (const std::string failure : {"open", "line type 7", "line source", "find Recording Mic volume"}) {
        ScriptedMixer mixer;
        ClassicCard card(mixer);
        card.micVolume->value = 40000;
        mixer.FailWhen(failure);
        EXPECT_EQ(CMixer(mixer).GetVolume(), 0u) << failure;
        EXPECT_FALSE(CMixer(mixer).SetVolume(100)) << failure;
        EXPECT_EQ(GetMicPercent(mixer), 0) << failure;
        EXPECT_EQ(mixer.Writes(), Writes{}) << failure;
        EXPECT_EQ(mixer.OpenHandles(), 0u) << failure;
    }
}

// What the voice-message recorder writes: single raw values, no read-back.
TEST(SpeakerVolume, RawWritesAndMutes) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    EXPECT_TRUE(SetSpeakerRaw(mixer, 0x7FFF));
    EXPECT_TRUE(CMixer(mixer).SetVolume(0xFFFF));
    EXPECT_TRUE(UnmuteSpeakers(mixer));
    EXPECT_EQ(mixer.Writes(), (Writes{"set Speakers volume 32767", "set Recording Mic volume 65535",
                                      "set Speakers mute 0"}));
    for (const std::string& entry : mixer.Log()) EXPECT_NE(entry.rfind("get", 0), 0u) << entry;
    EXPECT_TRUE(MuteSpeakers(mixer));
    EXPECT_EQ(card.speakerMute->value, 1u);
}

// With one mixer per endpoint, the microphone is found on its own mixer and
// the speakers stay on mixer 0.
TEST(MixerDevices, EachOperationUsesTheMixerThatHasItsDestination) {
    ScriptedMixer mixer;
    EndpointMixers endpoints(mixer);
    EXPECT_TRUE(SetMicPercent(mixer, 40));
    EXPECT_EQ(endpoints.micVolume->value, RawFromPercent(40));
    EXPECT_EQ(GetMicPercent(mixer), 40);
    EXPECT_TRUE(SetSpeakerPercent(mixer, 40));
    EXPECT_EQ(endpoints.speakerVolume->value, RawFromPercent(40));
    EXPECT_EQ(endpoints.headphoneVolume->value, 65535u);
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

}  // namespace
