// The mixer operations on ALSA's simple mixer of the `default` control
// device, so that they follow the user's configuration: a sound card, or a
// sound server through the ALSA plugins.
#include <alsa/asoundlib.h>

#include <optional>

#include "audio/linux/alsa_mixer_elements.h"
#include "audio/linux/alsa_quiet.h"
#include "audio/mixer/talk_mixer.h"
#include "audio/mixer/volume_percent.h"

namespace {

constexpr const char* kControlName = "default";

AlsaElementInfo Describe(snd_mixer_elem_t* element) {
    AlsaElementInfo info;
    info.name = snd_mixer_selem_get_name(element);
    info.playbackVolume = snd_mixer_selem_has_playback_volume(element);
    info.playbackSwitch = snd_mixer_selem_has_playback_switch(element);
    info.captureVolume = snd_mixer_selem_has_capture_volume(element);
    info.captureSwitch = snd_mixer_selem_has_capture_switch(element);
    info.captureSource = snd_mixer_selem_is_enumerated(element) && snd_mixer_selem_is_enum_capture(element);
    const int items = info.captureSource ? snd_mixer_selem_get_enum_items(element) : 0;
    for (int i = 0; i < items; ++i) {
        char name[64] = {};
        if (snd_mixer_selem_get_enum_item_name(element, unsigned(i), sizeof name - 1, name) < 0) name[0] = '\0';
        info.items.push_back(name);
    }
    return info;
}

// The simple mixer, loaded afresh for each operation so that every read sees
// the device as it is now.
class SimpleMixer {
public:
    SimpleMixer() {
        SilenceAlsaMessages();
        if (snd_mixer_open(&mixer_, 0) < 0) {
            mixer_ = nullptr;
            return;
        }
        if (snd_mixer_attach(mixer_, kControlName) < 0 || snd_mixer_selem_register(mixer_, nullptr, nullptr) < 0 ||
            snd_mixer_load(mixer_) < 0) {
            snd_mixer_close(mixer_);
            mixer_ = nullptr;
        }
    }
    ~SimpleMixer() {
        if (mixer_) snd_mixer_close(mixer_);
    }
    SimpleMixer(const SimpleMixer&) = delete;
    SimpleMixer& operator=(const SimpleMixer&) = delete;

    // The element that plays the role, or null.
    snd_mixer_elem_t* Find(AlsaRole role) {
        if (!mixer_) return nullptr;
        std::vector<snd_mixer_elem_t*> elements;
        std::vector<AlsaElementInfo> infos;
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer_); e; e = snd_mixer_elem_next(e)) {
            if (!snd_mixer_selem_is_active(e) || snd_mixer_selem_get_index(e) != 0) continue;
            elements.push_back(e);
            infos.push_back(Describe(e));
        }
        const int found = FindAlsaElement(infos, role);
        return found >= 0 ? elements[size_t(found)] : nullptr;
    }

private:
    snd_mixer_t* mixer_ = nullptr;
};

bool IsPlayback(AlsaRole role) { return role == AlsaRole::SpeakerVolume; }

std::optional<uint32_t> ReadRaw(AlsaRole role) {
    SimpleMixer mixer;
    snd_mixer_elem_t* element = mixer.Find(role);
    if (!element) return std::nullopt;
    long min = 0, max = 0, volume = 0;
    const bool read =
        IsPlayback(role)
            ? snd_mixer_selem_get_playback_volume_range(element, &min, &max) >= 0 &&
                  snd_mixer_selem_get_playback_volume(element, SND_MIXER_SCHN_FRONT_LEFT, &volume) >= 0
            : snd_mixer_selem_get_capture_volume_range(element, &min, &max) >= 0 &&
                  snd_mixer_selem_get_capture_volume(element, SND_MIXER_SCHN_FRONT_LEFT, &volume) >= 0;
    if (!read) return std::nullopt;
    return RawFromAlsaVolume(volume, min, max);
}

bool WriteRaw(AlsaRole role, uint32_t raw) {
    SimpleMixer mixer;
    snd_mixer_elem_t* element = mixer.Find(role);
    if (!element) return false;
    long min = 0, max = 0;
    if (IsPlayback(role)) {
        return snd_mixer_selem_get_playback_volume_range(element, &min, &max) >= 0 &&
               snd_mixer_selem_set_playback_volume_all(element, AlsaVolumeFromRaw(raw, min, max)) >= 0;
    }
    return snd_mixer_selem_get_capture_volume_range(element, &min, &max) >= 0 &&
           snd_mixer_selem_set_capture_volume_all(element, AlsaVolumeFromRaw(raw, min, max)) >= 0;
}

bool WriteSwitch(AlsaRole role, bool on) {
    SimpleMixer mixer;
    snd_mixer_elem_t* element = mixer.Find(role);
    if (!element) return false;
    return role == AlsaRole::MicrophoneCapture ? snd_mixer_selem_set_capture_switch_all(element, on) >= 0
                                               : snd_mixer_selem_set_playback_switch_all(element, on) >= 0;
}

// Every channel of the enumeration to its microphone item.
bool SelectCaptureSource(SimpleMixer& mixer) {
    snd_mixer_elem_t* element = mixer.Find(AlsaRole::CaptureSource);
    if (!element) return false;
    const int item = FindMicrophoneItem(Describe(element).items);
    if (snd_mixer_selem_set_enum_item(element, SND_MIXER_SCHN_FRONT_LEFT, unsigned(item)) < 0) return false;
    for (int channel = SND_MIXER_SCHN_FRONT_RIGHT; channel <= SND_MIXER_SCHN_LAST; ++channel) {
        if (snd_mixer_selem_set_enum_item(element, snd_mixer_selem_channel_id_t(channel), unsigned(item)) < 0) break;
    }
    return true;
}

class AlsaMixer final : public TalkMixer {
public:
    bool SelectMicrophoneAsRecordSource() override {
        SimpleMixer mixer;
        return SelectCaptureSource(mixer) || WriteSwitch(AlsaRole::MicrophoneCapture, true);
    }

    bool SetMicVolume(int32_t percent) override {
        if (!ReadRaw(AlsaRole::MicrophoneVolume)) return false;
        return SetPercentWithReadBack(
            percent, [this] { return GetMicVolume(); }, [this](uint32_t raw) { return SetMicVolumeRaw(raw); });
    }

    int32_t GetMicVolume() override { return PercentFromRaw(ReadRaw(AlsaRole::MicrophoneVolume).value_or(0)); }

    bool SetMicVolumeRaw(uint32_t raw) override { return WriteRaw(AlsaRole::MicrophoneVolume, raw); }

    bool SetSpeakerVolume(int32_t percent) override {
        if (!ReadRaw(AlsaRole::SpeakerVolume)) return false;
        return SetPercentWithReadBack(
            percent, [this] { return GetSpeakerVolume(); }, [this](uint32_t raw) { return SetSpeakerVolumeRaw(raw); });
    }

    int32_t GetSpeakerVolume() override {
        const std::optional<uint32_t> raw = ReadRaw(AlsaRole::SpeakerVolume);
        return raw ? PercentFromRaw(*raw) : -1;
    }

    bool SetSpeakerVolumeRaw(uint32_t raw) override { return WriteRaw(AlsaRole::SpeakerVolume, raw); }

    bool MuteFirstMicrophoneLine() override { return WriteSwitch(AlsaRole::MicrophoneMonitoring, false); }

    bool SetSpeakerMute(bool mute) override { return WriteSwitch(AlsaRole::SpeakerSwitch, !mute); }
};

}  // namespace

std::unique_ptr<TalkMixer> MakePlatformMixer(MixerCalls) { return std::make_unique<AlsaMixer>(); }
