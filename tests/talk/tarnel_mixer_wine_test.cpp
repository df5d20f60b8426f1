// The library's six volume and mute functions on a real sound server (run by
// scripts/with-sound-server; under Wine each audio endpoint has a mixer of
// its own), checked by reading the winmm mixer directly.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include "talk/tarnel.h"

namespace {

// A control of the first mixer device that has a line of the component type.
struct Control {
    UINT device = 0;
    DWORD id = 0;
    bool found = false;
};

Control FindControl(DWORD componentType, DWORD controlType) {
    for (UINT device = 0; device < mixerGetNumDevs(); ++device) {
        HMIXER mixer = nullptr;
        if (mixerOpen(&mixer, device, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) continue;
        MIXERLINEW line = {};
        line.cbStruct = sizeof line;
        line.dwComponentType = componentType;
        MIXERCONTROLW control = {};
        control.cbStruct = sizeof control;
        MIXERLINECONTROLSW request = {};
        request.cbStruct = sizeof request;
        request.dwControlType = controlType;
        request.cControls = 1;
        request.cbmxctrl = sizeof control;
        request.pamxctrl = &control;
        const HMIXEROBJ object = reinterpret_cast<HMIXEROBJ>(mixer);
        bool found = mixerGetLineInfoW(object, &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) ==
                     MMSYSERR_NOERROR;
        request.dwLineID = line.dwLineID;
        found = found && mixerGetLineControlsW(object, &request,
                                               MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
                             MMSYSERR_NOERROR;
        mixerClose(mixer);
        if (found) return {device, control.dwControlID, true};
    }
    return {};
}

DWORD Read(const Control& control) {
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, control.device, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return 0xFFFFFFFF;
    MIXERCONTROLDETAILS_UNSIGNED value = {};
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = control.id;
    details.cChannels = 1;
    details.cbDetails = sizeof value;
    details.paDetails = &value;
    const MMRESULT result = mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer), &details,
                                                    MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
    mixerClose(mixer);
    return result == MMSYSERR_NOERROR ? value.dwValue : 0xFFFFFFFF;
}

int Percent(DWORD raw) { return int(raw * 100 / 65535); }

class TarnelMixer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(mixerGetNumDevs(), 0u) << "no sound server: run under scripts/with-sound-server";
        engine = Tarnel_Ini();
        ASSERT_NE(engine, nullptr);
    }
    void TearDown() override { Tarnel_Release(engine); }

    TalkEngine* engine = nullptr;
    const Control speakerVolume = FindControl(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERCONTROL_CONTROLTYPE_VOLUME);
    const Control speakerMute = FindControl(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERCONTROL_CONTROLTYPE_MUTE);
};

TEST_F(TarnelMixer, TheSpeakerVolumeIsSetAndReadInPercent) {
    ASSERT_TRUE(speakerVolume.found);
    EXPECT_NEAR(Percent(Read(speakerVolume)), 100, 1);  // a new engine turns it up
    Tarnel_SetSpeakerVol(engine, 40);
    EXPECT_NEAR(Percent(Read(speakerVolume)), 40, 1);
    EXPECT_NEAR(Tarnel_GetSpeakerVol(engine), 40, 1);
    Tarnel_SetSpeakerVol(engine, -5);
    EXPECT_EQ(Read(speakerVolume), 0u);
    EXPECT_EQ(Tarnel_GetSpeakerVol(engine), 0);
}

TEST_F(TarnelMixer, TheSpeakersMuteAndUnmute) {
    ASSERT_TRUE(speakerMute.found);
    EXPECT_EQ(Read(speakerMute), 0u);  // a new engine unmutes them
    Tarnel_MutSpeaker(engine);
    EXPECT_EQ(Read(speakerMute), 1u);
    Tarnel_NoMutSpeaker(engine);
    EXPECT_EQ(Read(speakerMute), 0u);
}

// The microphone has a mixer of its own, not mixer 0; the engine reads it
// there, whatever that mixer makes of the values written.
TEST_F(TarnelMixer, TheMicrophoneVolumeIsFoundOnItsOwnMixer) {
    const Control micVolume = FindControl(MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, MIXERCONTROL_CONTROLTYPE_VOLUME);
    ASSERT_TRUE(micVolume.found);
    EXPECT_GT(micVolume.device, 0u);
    Tarnel_SetMicVol(engine, 30);
    EXPECT_EQ(Tarnel_GetMicVol(engine), Percent(Read(micVolume)));
}

}  // namespace
