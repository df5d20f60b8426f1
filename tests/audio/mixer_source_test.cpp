// The recording source and the microphone's monitoring mute, on scripted mixers.
#include <gtest/gtest.h>

#include "audio/mixer/orvik_mixer.h"
#include "audio/mixer/record_source_selector.h"
#include "audio/mixer/winmm_mixer.h"
#include "tests/audio/mixer_layouts.h"

namespace {

using Writes = std::vector<std::string>;
using Items = std::vector<std::pair<uint32_t, std::string>>;

TEST(RecordSourceSelector, TheMuxItemOfTheMicrophoneLineIsTurnedOn) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    {
        CRecordSourceSelector selector(mixer);
        EXPECT_TRUE(selector.Ready());
        EXPECT_EQ(selector.ControlType(), kMixerControlMux);
        EXPECT_EQ(selector.SelectedIndex(), 1);
        EXPECT_TRUE(selector.SelectMicrophone());
        EXPECT_EQ(card.selector->states[1], 1u);
        EXPECT_EQ(mixer.OpenHandles(), 1u);  // kept open while it lives
    }
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

TEST(RecordSourceSelector, AMixerControlIsUsedWithoutAMuxAndOnlyTheMicrophoneStaysOn) {
    ScriptedMixer mixer;
    ClassicCard card(mixer, kMixerControlMixer);
    CRecordSourceSelector selector(mixer);
    EXPECT_EQ(selector.ControlType(), kMixerControlMixer);
    EXPECT_TRUE(selector.SelectMicrophone());
    EXPECT_EQ(card.selector->states, (std::vector<uint32_t>{0, 1}));
}

// Items that stand for no microphone line: only the exact name "Microphone" counts.
TEST(RecordSourceSelector, WithoutAMicrophoneLineTheItemNamedMicrophoneIsTaken) {
    ScriptedMixer mixer;
    const uint32_t card = mixer.AddDevice("Card");
    const uint32_t recording = mixer.AddDestination(card, kMixerDstWaveIn, "Recording");
    const uint32_t line = mixer.AddSource(card, recording, kMixerSrcLine, "Line In");
    ScriptedControl& mux =
        mixer.AddSelector(card, recording, kMixerControlMux, {{line, "Line In"}, {0, "microphone"}, {99, "Microphone"}});
    CRecordSourceSelector selector(mixer);
    EXPECT_EQ(selector.SelectedIndex(), 2);
    EXPECT_TRUE(selector.SelectMicrophone());
    EXPECT_EQ(mux.states, (std::vector<uint32_t>{0, 0, 1}));

    ScriptedMixer lower;
    const uint32_t card2 = lower.AddDevice("Card");
    const uint32_t recording2 = lower.AddDestination(card2, kMixerDstWaveIn, "Recording");
    lower.AddSelector(card2, recording2, kMixerControlMux, {{0, "Line In"}, {0, "microphone"}});
    CRecordSourceSelector none(lower);
    EXPECT_FALSE(none.Ready());
    EXPECT_FALSE(none.SelectMicrophone());
    EXPECT_EQ(lower.Writes(), Writes{});
}

TEST(RecordSourceSelector, EveryFailureLeavesTheSourceAlone) {
    for (const std::string failure : {"open", "caps", "line type 7", "find Recording", "texts", "get Recording mux",
                                      "set Recording mux"}) {
        ScriptedMixer mixer;
        ClassicCard card(mixer);
        mixer.FailWhen(failure);
        CRecordSourceSelector selector(mixer);
        EXPECT_FALSE(selector.SelectMicrophone()) << failure;
        EXPECT_EQ(card.selector->states, (std::vector<uint32_t>{1, 0})) << failure;
    }
    ScriptedMixer none;
    CRecordSourceSelector selector(none);
    EXPECT_FALSE(selector.Ready());
    EXPECT_FALSE(selector.SelectMicrophone());
}

TEST(RecordSourceSelector, TheMixerWithTheRecordingDestinationIsUsed) {
    ScriptedMixer mixer;
    EndpointMixers endpoints(mixer);
    mixer.AddSelector(endpoints.micDevice, endpoints.recordingLine, kMixerControlMux, {{endpoints.micLine, "Mic"}});
    CRecordSourceSelector selector(mixer);
    EXPECT_TRUE(selector.Ready());
    EXPECT_TRUE(selector.SelectMicrophone());
    EXPECT_EQ(mixer.Writes(), Writes{"set Recording mux 1"});
}

TEST(OrvikMixer, TheMicrophoneIsMutedOnItsWayToTheSpeakers) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    {
        COrvikMixer orvik(mixer);
        EXPECT_TRUE(orvik.MuteLine());
        EXPECT_EQ(orvik.LastError(), kMixerOk);
    }
    EXPECT_EQ(card.monitorMute->value, 1u);
    EXPECT_EQ(mixer.Writes(), Writes{"set Monitor Mic mute 1"});
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

// Muting the first microphone line would silence the talk where that line is
// the recording's, as it is on a microphone's own mixer.
TEST(OrvikMixer, AMicrophoneLineThatFeedsTheRecordingIsNeverMuted) {
    ScriptedMixer mixer;
    const uint32_t card = mixer.AddDevice("Card");
    const uint32_t recording = mixer.AddDestination(card, kMixerDstWaveIn, "Recording");
    const uint32_t mic = mixer.AddSource(card, recording, kMixerSrcMicrophone, "Recording Mic");
    ScriptedControl& mute = mixer.AddControl(card, mic, kMixerControlMute, 0);
    COrvikMixer orvik(mixer);
    EXPECT_FALSE(orvik.Ready());
    EXPECT_FALSE(orvik.MuteLine());
    EXPECT_EQ(mute.value, 0u);
    EXPECT_EQ(mixer.Writes(), Writes{});
}

TEST(OrvikMixer, StaysOnMixerZero) {
    ScriptedMixer mixer;
    EndpointMixers endpoints(mixer);
    EXPECT_FALSE(COrvikMixer(mixer).MuteLine());
    EXPECT_EQ(endpoints.micMute->value, 0u);
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

TEST(OrvikMixer, AFailureIsKeptAndLeavesItNotReady) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    mixer.FailWhen("get Monitor Mic mute", kMixerInvalidControl);
    COrvikMixer orvik(mixer);
    EXPECT_TRUE(orvik.Ready());
    EXPECT_FALSE(orvik.MuteLine());
    EXPECT_EQ(orvik.LastError(), kMixerInvalidControl);
    EXPECT_FALSE(orvik.Ready());
    mixer.ClearLog();
    EXPECT_FALSE(orvik.MuteLine());
    EXPECT_EQ(mixer.Log(), Writes{});

    for (const std::string failure : {"open", "line type 4099", "line destination", "find Monitor Mic mute"}) {
        ScriptedMixer failing;
        ClassicCard card2(failing);
        failing.FailWhen(failure, kMixerError);
        COrvikMixer broken(failing);
        EXPECT_FALSE(broken.MuteLine()) << failure;
        EXPECT_EQ(broken.LastError(), kMixerError) << failure;
        EXPECT_EQ(card2.monitorMute->value, 0u) << failure;
    }
}

// The operations the voice engine and the voice-message recorder call.
TEST(WinmmMixer, OperationsActOnTheCard) {
    auto mixer = std::make_shared<ScriptedMixer>();
    ClassicCard card(*mixer);
    WinmmMixer operations(mixer);
    EXPECT_TRUE(operations.SelectMicrophoneAsRecordSource());
    EXPECT_TRUE(operations.SetMicVolumeRaw(0xFFFF));
    EXPECT_EQ(operations.GetMicVolume(), 100);
    EXPECT_TRUE(operations.SetSpeakerVolumeRaw(0x7FFF));
    EXPECT_EQ(operations.GetSpeakerVolume(), 49);
    EXPECT_TRUE(operations.SetSpeakerVolume(40));
    EXPECT_EQ(operations.GetSpeakerVolume(), 40);
    EXPECT_TRUE(operations.SetMicVolume(20));
    EXPECT_EQ(operations.GetMicVolume(), 20);
    EXPECT_TRUE(operations.MuteFirstMicrophoneLine());
    EXPECT_TRUE(operations.SetSpeakerMute(false));
    EXPECT_EQ(card.selector->states[1], 1u);
    EXPECT_EQ(card.monitorMute->value, 1u);
    EXPECT_EQ(card.speakerMute->value, 0u);
    EXPECT_EQ(mixer->OpenHandles(), 1u);  // the selector's
}

}  // namespace
