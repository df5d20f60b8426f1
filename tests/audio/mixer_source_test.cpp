// The recording source and the microphone's monitoring mute, on scripted mixers.
#include <gtest/gtest.h>

#include "audio/mixer/orvik_mixer.h"
#include "audio/mixer/record_source_selector.h"
#include "tests/audio/mixer_layouts.h"

namespace {

using Writes = std::vector<std::string>;
using States = std::vector<uint32_t>;

TEST(RecordSourceSelector, TheItemOfTheMicrophoneLineIsTurnedOnThroughAMuxOrElseAMixerControl) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    {
        CRecordSourceSelector selector(mixer);
        EXPECT_EQ(selector.ControlType(), kMixerControlMux);
        EXPECT_EQ(selector.SelectedIndex(), 1);
        EXPECT_TRUE(selector.SelectMicrophone());
        EXPECT_EQ(card.selector->states[1], 1u);
        EXPECT_EQ(mixer.OpenHandles(), 1u);  // kept open while it lives
    }
    EXPECT_EQ(mixer.OpenHandles(), 0u);

    ScriptedMixer mixing;
    ClassicCard card2(mixing, kMixerControlMixer);
    CRecordSourceSelector selector(mixing);
    EXPECT_EQ(selector.ControlType(), kMixerControlMixer);
    EXPECT_TRUE(selector.SelectMicrophone());
    EXPECT_EQ(card2.selector->states, (States{0, 1}));  // only the microphone stays on
}

// Items that stand for no microphone line: only the exact name "Microphone" counts.
TEST(RecordSourceSelector, WithoutAMicrophoneLineTheItemNamedMicrophoneIsTaken) {
    for (const bool exactName : {true, false}) {
        ScriptedMixer mixer;
        const uint32_t card = mixer.AddDevice("Card");
        const uint32_t recording = mixer.AddDestination(card, kMixerDstWaveIn, "Recording");
        const uint32_t line = mixer.AddSource(card, recording, kMixerSrcLine, "Line In");
        ScriptedControl& mux = mixer.AddSelector(card, recording, kMixerControlMux,
                                                 {{line, "Line In"}, {0, "microphone"}, {99, "Microphone"}});
        if (!exactName) {
            mux.items.pop_back();
            mux.states.pop_back();
        }
        CRecordSourceSelector selector(mixer);
        EXPECT_EQ(selector.Ready(), exactName);
        EXPECT_EQ(selector.SelectMicrophone(), exactName);
        EXPECT_EQ(mux.states, (exactName ? States{0, 0, 1} : States{0, 0}));
    }
}

TEST(RecordSourceSelector, EveryFailureLeavesTheSourceAlone) {
    for (const std::string failure :
         {"open", "caps", "line type 7", "find Recording", "texts", "get Recording", "set Recording"}) {
        ScriptedMixer mixer;
        ClassicCard card(mixer);
        mixer.FailWhen(failure);
        EXPECT_FALSE(CRecordSourceSelector(mixer).SelectMicrophone()) << failure;
        EXPECT_EQ(card.selector->states, (States{1, 0})) << failure;
    }
    ScriptedMixer none;
    EXPECT_FALSE(CRecordSourceSelector(none).SelectMicrophone());
}

TEST(RecordSourceSelector, TheMixerWithTheRecordingDestinationIsUsed) {
    ScriptedMixer mixer;
    EndpointMixers endpoints(mixer);
    mixer.AddSelector(endpoints.micDevice, endpoints.recordingLine, kMixerControlMux, {{endpoints.micLine, "Mic"}});
    EXPECT_TRUE(CRecordSourceSelector(mixer).SelectMicrophone());
    EXPECT_EQ(mixer.Writes(), Writes{"set Recording mux 1"});
}

TEST(OrvikMixer, TheMicrophoneIsMutedOnItsWayToTheSpeakers) {
    ScriptedMixer mixer;
    ClassicCard card(mixer);
    EXPECT_TRUE(COrvikMixer(mixer).MuteLine());
    EXPECT_EQ(mixer.Writes(), Writes{"set Monitor Mic mute 1"});
    EXPECT_EQ(mixer.OpenHandles(), 0u);
}

// Muting a microphone line that feeds the recording would silence the talk;
// and the microphone's own mixer is not mixer 0, which is the only one used.
TEST(OrvikMixer, NeverMutesTheRecordingAndStaysOnMixerZero) {
    ScriptedMixer mixer;
    const uint32_t card = mixer.AddDevice("Card");
    const uint32_t recording = mixer.AddDestination(card, kMixerDstWaveIn, "Recording");
    const uint32_t mic = mixer.AddSource(card, recording, kMixerSrcMicrophone, "Recording Mic");
    mixer.AddControl(card, mic, kMixerControlMute, 0);
    EXPECT_FALSE(COrvikMixer(mixer).MuteLine());

    ScriptedMixer endpoints;
    EndpointMixers layout(endpoints);
    EXPECT_FALSE(COrvikMixer(endpoints).MuteLine());
    EXPECT_EQ(mixer.Writes(), Writes{});
    EXPECT_EQ(endpoints.Writes(), Writes{});
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
    EXPECT_FALSE(orvik.MuteLine());
    EXPECT_EQ(mixer.Writes(), Writes{});

    for (const std::string failure : {"open", "line type 4099", "line destination", "find Monitor Mic"}) {
        ScriptedMixer failing;
        ClassicCard card2(failing);
        failing.FailWhen(failure, kMixerError);
        COrvikMixer broken(failing);
        EXPECT_FALSE(broken.MuteLine()) << failure;
        EXPECT_EQ(broken.LastError(), kMixerError) << failure;
        EXPECT_EQ(card2.monitorMute->value, 0u) << failure;
    }
}

}  // namespace
