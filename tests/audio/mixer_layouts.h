#pragma once
// Mixers as systems lay them out, on the scripted mixer.
#include "tests/audio/scripted_mixer.h"

// One mixer for the whole card: the speakers, with the microphone's
// monitoring line ("Monitor Mic") among their sources, and the recording
// with "Line In" and "Recording Mic" behind an input selector.
struct ClassicCard {
    explicit ClassicCard(ScriptedMixer& mixer, uint32_t selectorType = kMixerControlMux);
    ScriptedControl* speakerVolume;
    ScriptedControl* speakerMute;
    ScriptedControl* monitorMute;
    ScriptedControl* micVolume;
    ScriptedControl* selector;  // items: Line In, Recording Mic
};

// One mixer per audio endpoint: two speaker mixers ("Speakers", "Headphones"),
// then the microphone's ("Mic") with the recording destination.
struct EndpointMixers {
    explicit EndpointMixers(ScriptedMixer& mixer);
    ScriptedControl* speakerVolume;
    ScriptedControl* speakerMute;
    ScriptedControl* headphoneVolume;
    uint32_t micDevice;
    uint32_t recordingLine;
    uint32_t micLine;
    ScriptedControl* micVolume;
    ScriptedControl* micMute;
};
