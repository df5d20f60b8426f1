// Speaker and microphone volumes through the mixer classes, on scripted mixers.
#include <gtest/gtest.h>

#include "audio/mixer/mixer.h"
#include "audio/mixer/speaker_volume.h"
#include "audio/mixer/volume_percent.h"
#include "tests/audio/mixer_layouts.h"

namespace {

using Writes = std::vector<std::string>;

TEST(MixerPercent, ConversionsRoundDownAndClamp) {
    EXPECT_EQ(PercentFromRaw(32768), 50);
    EXPECT_EQ(PercentFromRaw(65535), 100);
    EXPECT_EQ(PercentFromRaw(655), 0);
    EXPECT_EQ(PercentFromRaw(0xFFFFFFFF), 100);
    EXPECT_EQ(RawFromPercent(52), 34078u);
    EXPECT_EQ(RawFromPercent(150), 65535u);
    EXPECT_EQ(RawFromPercent(-5), 0u);
}

TEST(SpeakerVolume, OutOfRangePercentagesAreClamped) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    EXPECT_TRUE(SetSpeakerPercent(mixer, 150));
    EXPECT_EQ(card.speakerVolume->value, 65535u);
    EXPECT_EQ(GetSpeakerPercent(mixer), 100);
    EXPECT_TRUE(SetSpeakerPercent(mixer, -5));
    EXPECT_EQ(card.speakerVolume->value, 0u);
    EXPECT_EQ(GetSpeakerPercent(mixer), 0);
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

TEST(SpeakerVolume, TheSettingAlreadyReadBackWritesNothing) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    card.micVolume->value = 32768;
    EXPECT_EQ(GetSpeakerPercent(mixer), 50);  // raw 32768
    EXPECT_TRUE(SetSpeakerPercent(mixer, 50));
    EXPECT_TRUE(SetMicPercent(mixer, 50));
    EXPECT_EQ(mixer.Writes(), Writes{});
}

// A driver with 5 % steps keeps 50 % for 52, 53 and 54 %: each write goes 1 % further until one moves it.
TEST(SpeakerVolume, CoarseStepsAreSteppedThroughUntilTheReadBackMoves) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    card.speakerVolume->steps = 20;
    EXPECT_TRUE(SetSpeakerPercent(mixer, 52));
    EXPECT_EQ(mixer.Writes(), (Writes{"set Speakers volume 34078", "set Speakers volume 34733",
                                      "set Speakers volume 35388", "set Speakers volume 36044"}));
    EXPECT_NE(GetSpeakerPercent(mixer), 50);

    mixer.ClearLog();
    EXPECT_TRUE(SetSpeakerPercent(mixer, 48));  // from 54 % down: 48 % falls on 45 %
    EXPECT_EQ(mixer.Writes(), Writes{"set Speakers volume 31456"});
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

TEST(MicVolume, CoarseStepsAreSteppedThroughLikeTheSpeakers) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    card.micVolume->value = 32768;
    card.micVolume->steps = 20;
    EXPECT_TRUE(SetMicPercent(mixer, 52));
    EXPECT_EQ(mixer.Writes(), (Writes{"set Recording Mic volume 34078", "set Recording Mic volume 34733",
                                      "set Recording Mic volume 35388", "set Recording Mic volume 36044"}));
    EXPECT_EQ(GetMicPercent(mixer), 54);
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

// A control that never reads back what was written (as a virtual microphone
// may): the stepping runs to the end of the range and stops.
TEST(MicVolume, SteppingEndsAtTheEndOfTheRange) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    card.micVolume->readsAs = 0;
    EXPECT_TRUE(SetMicPercent(mixer, 30));
    const Writes writes = mixer.Writes();
    ASSERT_EQ(writes.size(), 71u);  // 30 % .. 100 %
    EXPECT_EQ(writes.front(), "set Recording Mic volume 19660");
    EXPECT_EQ(writes.back(), "set Recording Mic volume 65535");
    EXPECT_EQ(GetMicPercent(mixer), 0);
}

// Whatever the driver does, one call writes at most 101 times.
TEST(SpeakerVolume, AFailingReadBackStopsAfter101Writes) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    mixer.FailWhen("get Speakers volume");
    EXPECT_EQ(GetSpeakerPercent(mixer), -1);
    EXPECT_TRUE(SetSpeakerPercent(mixer, 0));  // from "-1" upwards: 0 % .. 100 %
    EXPECT_EQ(mixer.Writes().size(), 101u);
    EXPECT_EQ(card.speakerVolume->value, 65535u);
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

TEST(SpeakerVolume, EveryFailureGivesTheFailureResult) {
    for (const std::string failure : {"open", "line type 4", "find Speakers volume", "get Speakers volume"}) {
        ScriptedMixer mixer;
        ClassicCard card(mixer);
        mixer.FailWhen(failure);
        EXPECT_EQ(GetSpeakerPercent(mixer), -1) << failure;
        EXPECT_EQ(mixer.OpenHandles(), 0u) << failure;
    }
    for (const std::string failure : {"open", "line type 4", "find Speakers volume", "set Speakers volume"}) {
        ScriptedMixer mixer;
        ClassicCard card(mixer);
        mixer.FailWhen(failure);
        EXPECT_FALSE(SetSpeakerPercent(mixer, 20)) << failure;
        EXPECT_FALSE(SetSpeakerRaw(mixer, 100)) << failure;
        EXPECT_EQ(card.speakerVolume->value, 32768u) << failure;
    }
    for (const std::string failure : {"open", "line type 4", "find Speakers mute", "set Speakers mute"}) {
        ScriptedMixer mixer;
        ClassicCard card(mixer);
        mixer.FailWhen(failure);
        EXPECT_FALSE(UnmuteSpeakers(mixer)) << failure;
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
        CMixer mic(mixer);
        EXPECT_EQ(mic.GetVolume(), 0u) << failure;
        EXPECT_FALSE(mic.SetVolume(100)) << failure;
        EXPECT_EQ(GetMicPercent(mixer), 0) << failure;
        EXPECT_EQ(mixer.Writes(), Writes{}) << failure;
        EXPECT_EQ(mixer.OpenHandles(), 0u) << failure;
    }
}

TEST(SpeakerVolume, MuteUnmuteAndTheRawWriteOfTheVoiceMessageRecorder) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    EXPECT_TRUE(UnmuteSpeakers(mixer));
    EXPECT_EQ(card.speakerMute->value, 0u);
    EXPECT_TRUE(MuteSpeakers(mixer));
    EXPECT_EQ(card.speakerMute->value, 1u);
    mixer.ClearLog();
    EXPECT_TRUE(SetSpeakerRaw(mixer, 0x7FFF));
    EXPECT_EQ(mixer.Writes(), Writes{"set Speakers volume 32767"});
    for (const std::string& entry : mixer.Log()) EXPECT_NE(entry.rfind("get", 0), 0u) << entry;  // no read-back
    EXPECT_TRUE(CMixer(mixer).SetVolume(0xFFFF));
    EXPECT_EQ(card.micVolume->value, 65535u);
}

// With one mixer per endpoint, the microphone is found on its own mixer and
// the speakers stay on mixer 0.
TEST(MixerDevices, EachOperationUsesTheMixerThatHasItsDestination) {
    ScriptedMixer mixer;
    EndpointMixers endpoints(mixer);
    EXPECT_TRUE(SetMicPercent(mixer, 30));
    EXPECT_EQ(endpoints.micVolume->value, 19660u);
    EXPECT_EQ(GetMicPercent(mixer), 29);  // whole percent, rounded down both ways
    EXPECT_TRUE(SetSpeakerPercent(mixer, 40));
    EXPECT_EQ(GetSpeakerPercent(mixer), 40);
    EXPECT_EQ(endpoints.speakerVolume->value, RawFromPercent(40));
    EXPECT_EQ(endpoints.headphoneVolume->value, 65535u);
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

}  // namespace
