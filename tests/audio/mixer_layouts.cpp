#include "tests/audio/mixer_layouts.h"

ClassicCard::ClassicCard(ScriptedMixer& mixer, uint32_t selectorType) {
    const uint32_t card = mixer.AddDevice("Classic Card");
    const uint32_t speakers = mixer.AddDestination(card, kMixerDstSpeakers, "Speakers");
    speakerVolume = &mixer.AddControl(card, speakers, kMixerControlVolume, 32768);
    speakerMute = &mixer.AddControl(card, speakers, kMixerControlMute, 1);
    const uint32_t monitor = mixer.AddSource(card, speakers, kMixerSrcMicrophone, "Monitor Mic");
    monitorMute = &mixer.AddControl(card, monitor, kMixerControlMute, 0);
    const uint32_t recording = mixer.AddDestination(card, kMixerDstWaveIn, "Recording");
    const uint32_t line = mixer.AddSource(card, recording, kMixerSrcLine, "Line In");
    const uint32_t mic = mixer.AddSource(card, recording, kMixerSrcMicrophone, "Recording Mic");
    micVolume = &mixer.AddControl(card, mic, kMixerControlVolume, 0);
    selector = &mixer.AddSelector(card, recording, selectorType, {{line, "Line In"}, {mic, "Mic"}});
    selector->states = {1, 0};
}

EndpointMixers::EndpointMixers(ScriptedMixer& mixer) {
    const uint32_t first = mixer.AddDevice("Speakers");
    const uint32_t speakers = mixer.AddDestination(first, kMixerDstSpeakers, "Speakers");
    speakerVolume = &mixer.AddControl(first, speakers, kMixerControlVolume, 65535);
    speakerMute = &mixer.AddControl(first, speakers, kMixerControlMute, 0);
    const uint32_t second = mixer.AddDevice("Headphones");
    const uint32_t headphones = mixer.AddDestination(second, kMixerDstSpeakers, "Headphones");
    headphoneVolume = &mixer.AddControl(second, headphones, kMixerControlVolume, 65535);
    micDevice = mixer.AddDevice("Microphone");
    recordingLine = mixer.AddDestination(micDevice, kMixerDstWaveIn, "Recording");
    micLine = mixer.AddSource(micDevice, recordingLine, kMixerSrcMicrophone, "Mic");
    micVolume = &mixer.AddControl(micDevice, micLine, kMixerControlVolume, 0);
    micMute = &mixer.AddControl(micDevice, micLine, kMixerControlMute, 0);
}
