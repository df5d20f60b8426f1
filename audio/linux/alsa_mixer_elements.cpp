#include "audio/linux/alsa_mixer_elements.h"

#include <algorithm>
#include <functional>

#include "audio/mixer/volume_percent.h"

namespace {

using Capability = std::function<bool(const AlsaElementInfo&)>;

int FindNamed(const std::vector<AlsaElementInfo>& elements, const std::vector<std::string>& names,
              const Capability& capable) {
    for (const std::string& name : names) {
        for (size_t i = 0; i < elements.size(); ++i) {
            if (elements[i].name == name && capable(elements[i])) return int(i);
        }
    }
    return -1;
}

bool NamesMicrophone(const std::string& name) {
    return name.find("Mic") != std::string::npos && name.find("Boost") == std::string::npos;
}

// "Mic", else the first other microphone element ("Front Mic", "Internal Mic", ...).
int FindMicrophone(const std::vector<AlsaElementInfo>& elements, const Capability& capable) {
    const int exact = FindNamed(elements, {"Mic"}, capable);
    if (exact >= 0) return exact;
    for (size_t i = 0; i < elements.size(); ++i) {
        if (NamesMicrophone(elements[i].name) && capable(elements[i])) return int(i);
    }
    return -1;
}

int FindCaptureSource(const std::vector<AlsaElementInfo>& elements) {
    for (size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].captureSource && FindMicrophoneItem(elements[i].items) >= 0) return int(i);
    }
    return -1;
}

int64_t RoundedDivide(int64_t numerator, int64_t denominator) { return (numerator + denominator / 2) / denominator; }

}  // namespace

int FindAlsaElement(const std::vector<AlsaElementInfo>& elements, AlsaRole role) {
    const std::vector<std::string> speakers = {"Master", "PCM", "Speaker"};
    switch (role) {
        case AlsaRole::SpeakerVolume:
            return FindNamed(elements, speakers, [](const AlsaElementInfo& e) { return e.playbackVolume; });
        case AlsaRole::SpeakerSwitch:
            return FindNamed(elements, speakers, [](const AlsaElementInfo& e) { return e.playbackSwitch; });
        case AlsaRole::MicrophoneVolume: {
            const Capability capable = [](const AlsaElementInfo& e) { return e.captureVolume; };
            const int capture = FindNamed(elements, {"Capture"}, capable);
            return capture >= 0 ? capture : FindMicrophone(elements, capable);
        }
        case AlsaRole::CaptureSource:
            return FindCaptureSource(elements);
        case AlsaRole::MicrophoneCapture:
            return FindMicrophone(elements, [](const AlsaElementInfo& e) { return e.captureSwitch; });
        case AlsaRole::MicrophoneMonitoring:
            return FindMicrophone(elements, [](const AlsaElementInfo& e) { return e.playbackSwitch; });
    }
    return -1;
}

int FindMicrophoneItem(const std::vector<std::string>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == "Mic" || items[i] == "Microphone") return int(i);
    }
    for (size_t i = 0; i < items.size(); ++i) {
        if (NamesMicrophone(items[i])) return int(i);
    }
    return -1;
}

uint32_t RawFromAlsaVolume(long volume, long min, long max) {
    if (max <= min) return 0;
    const int64_t offset = std::clamp<int64_t>(volume, min, max) - min;
    return uint32_t(RoundedDivide(offset * kMixerRawMax, int64_t(max) - min));
}

long AlsaVolumeFromRaw(uint32_t raw, long min, long max) {
    if (max <= min) return min;
    const int64_t clamped = std::min(raw, kMixerRawMax);
    return long(min + RoundedDivide(clamped * (int64_t(max) - min), kMixerRawMax));
}
