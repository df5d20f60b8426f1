// A new engine prepares the sound card, in a fixed order, through the mixer classes.
#include <gtest/gtest.h>

#include "audio/mixer/winmm_mixer.h"
#include "talk_fakes.h"
#include "tests/audio/mixer_layouts.h"

namespace {

using Writes = std::vector<std::string>;

TEST(TalkEngineMixer, ANewEngineSelectsTheMicrophoneSetsBothVolumesAndMutesTheMonitoring) {
    auto mixer = std::make_shared<ScriptedMixer>();
    ClassicCard card(*mixer, kMixerControlMixer);
    FakeServices fakes;
    TalkEngineServices services = fakes.Make();
    services.makeMixer = [mixer] { return std::make_unique<WinmmMixer>(mixer); };
    {
        TalkEngine engine(std::move(services));
        EXPECT_EQ(mixer->Writes(), (Writes{"set Recording mixer 0 1", "set Recording Mic volume 65535",
                                           "set Speakers volume 65535", "set Monitor Mic mute 1",
                                           "set Speakers mute 0"}));
        EXPECT_EQ(engine.Mixer().GetSpeakerVolume(), 100);
        EXPECT_EQ(mixer->OpenHandles(), 1u);  // the record source selector's, until the engine goes
    }
    EXPECT_EQ(mixer->OpenHandles(), 0u);
}

}  // namespace
