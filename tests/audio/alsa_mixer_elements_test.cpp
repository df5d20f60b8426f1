// Which simple-mixer elements the ALSA mixer uses, and its volume scale.
#include <gtest/gtest.h>

#include "audio/linux/alsa_mixer_elements.h"
#include "audio/mixer/volume_percent.h"

namespace {

AlsaElementInfo Element(const std::string& name, bool playback, bool capture, bool volume = true, bool on = true) {
    AlsaElementInfo e;
    e.name = name;
    e.playbackVolume = playback && volume;
    e.playbackSwitch = playback && on;
    e.captureVolume = capture && volume;
    e.captureSwitch = capture && on;
    return e;
}
AlsaElementInfo Playback(const std::string& name, bool volume = true, bool on = true) {
    return Element(name, true, false, volume, on);
}
AlsaElementInfo Capture(const std::string& name) { return Element(name, false, true); }
AlsaElementInfo Source(const std::vector<std::string>& items) {
    AlsaElementInfo e;
    e.name = "Capture Source";
    e.captureSource = true;
    e.items = items;
    return e;
}

TEST(AlsaMixerElements, TheSpeakersAreMasterElsePcmElseSpeaker) {
    EXPECT_EQ(FindAlsaElement({Playback("PCM"), Playback("Master")}, AlsaRole::SpeakerVolume), 1);
    EXPECT_EQ(FindAlsaElement({Playback("Speaker"), Playback("PCM")}, AlsaRole::SpeakerVolume), 1);
    EXPECT_EQ(FindAlsaElement({Playback("Headphone"), Playback("Speaker")}, AlsaRole::SpeakerVolume), 1);
    EXPECT_EQ(FindAlsaElement({Playback("Headphone")}, AlsaRole::SpeakerVolume), -1);
    // A Master without a switch leaves the muting to PCM.
    const std::vector<AlsaElementInfo> split = {Playback("Master", true, false), Playback("PCM")};
    EXPECT_EQ(FindAlsaElement(split, AlsaRole::SpeakerVolume), 0);
    EXPECT_EQ(FindAlsaElement(split, AlsaRole::SpeakerSwitch), 1);
}

TEST(AlsaMixerElements, TheMicrophoneElementsForVolumeSourceAndMonitoring) {
    EXPECT_EQ(FindAlsaElement({Capture("Mic"), Capture("Capture")}, AlsaRole::MicrophoneVolume), 1);
    EXPECT_EQ(FindAlsaElement({Capture("Mic Boost"), Capture("Front Mic")}, AlsaRole::MicrophoneVolume), 1);
    // The enumeration's microphone item where there is one, else the microphone's capture switch.
    const std::vector<AlsaElementInfo> card = {Capture("Mic"), Source({"Line", "Front Mic", "Mic"})};
    ASSERT_EQ(FindAlsaElement(card, AlsaRole::CaptureSource), 1);
    EXPECT_EQ(FindMicrophoneItem(card[1].items), 2);
    EXPECT_EQ(FindMicrophoneItem({"Line", "Front Mic", "Rear Mic"}), 1);
    const std::vector<AlsaElementInfo> noMicItem = {Source({"Line", "CD"}), Capture("Mic")};
    EXPECT_EQ(FindAlsaElement(noMicItem, AlsaRole::CaptureSource), -1);
    EXPECT_EQ(FindAlsaElement(noMicItem, AlsaRole::MicrophoneCapture), 1);
    // Monitoring is the microphone's playback switch, never its capture switch.
    EXPECT_EQ(FindAlsaElement({Capture("Capture"), Element("Mic", true, true)}, AlsaRole::MicrophoneMonitoring), 1);
    EXPECT_EQ(FindAlsaElement({Capture("Capture"), Capture("Mic")}, AlsaRole::MicrophoneMonitoring), -1);
}

TEST(AlsaMixerElements, EveryPercentRoundTripsThroughASoundServersRange) {
    for (int32_t percent = 0; percent <= 100; ++percent) {
        const long volume = AlsaVolumeFromRaw(RawFromPercent(percent), 0, 65536);
        EXPECT_EQ(RawFromAlsaVolume(volume, 0, 65536), RawFromPercent(percent)) << percent;
    }
    EXPECT_EQ(AlsaVolumeFromRaw(26214, 0, 65536), 26214);  // 40 % is 40 % for the server too
    EXPECT_EQ(RawFromAlsaVolume(99, -10, 20), 65535u);
    EXPECT_EQ(AlsaVolumeFromRaw(70000, -10, 20), 20);
    EXPECT_EQ(RawFromAlsaVolume(5, 7, 7), 0u);
}

// On a card with 32 steps a 1 % change may fall on the same step: the
// read-back stepping moves on until it does not.
TEST(AlsaMixerElements, ACardWith32StepsStillMoves) {
    long volume = AlsaVolumeFromRaw(RawFromPercent(50), 0, 31);
    const auto read = [&] { return PercentFromRaw(RawFromAlsaVolume(volume, 0, 31)); };
    int writes = 0;
    const auto write = [&](uint32_t raw) {
        ++writes;
        volume = AlsaVolumeFromRaw(raw, 0, 31);
        return true;
    };
    const int32_t before = read();
    EXPECT_TRUE(SetPercentWithReadBack(before + 1, read, write));
    EXPECT_GT(writes, 1);
    EXPECT_GT(read(), before);
}

}  // namespace
