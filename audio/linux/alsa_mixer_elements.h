#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Which elements of a simple mixer the mixer operations use, and how their
// volume ranges map onto the raw 0..65535 scale. No sound library calls here.

// What the rules need to know of one element.
struct AlsaElementInfo {
    std::string name;
    bool playbackVolume = false;
    bool playbackSwitch = false;
    bool captureVolume = false;
    bool captureSwitch = false;
    bool captureSource = false;  // an enumeration that chooses the capture input
    std::vector<std::string> items;  // the enumeration's item names
};

enum class AlsaRole {
    SpeakerVolume,         // "Master", else "PCM" or "Speaker": playback volume
    SpeakerSwitch,         // the same names: playback switch
    MicrophoneVolume,      // "Capture", else the microphone: capture volume
    CaptureSource,         // a capture-source enumeration with a microphone item
    MicrophoneCapture,     // the microphone: capture switch
    MicrophoneMonitoring,  // the microphone: playback switch (its way into the speakers)
};

// Index of the element that plays the role, or -1.
int FindAlsaElement(const std::vector<AlsaElementInfo>& elements, AlsaRole role);
// Index of the microphone among an enumeration's items, or -1.
int FindMicrophoneItem(const std::vector<std::string>& items);

// An element's volume in min..max as a raw value 0..65535 and back, rounded to nearest.
uint32_t RawFromAlsaVolume(long volume, long min, long max);
long AlsaVolumeFromRaw(uint32_t raw, long min, long max);
