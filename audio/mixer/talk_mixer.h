#pragma once
#include <cstdint>
#include <memory>

// The system mixer as the voice engine and the voice-message recorder drive
// it. Percentages run 0..100 (others are clamped), raw volumes 0..65535.
// Failures are quiet: operations report false, getters the values noted.
class TalkMixer {
public:
    virtual ~TalkMixer() = default;
    // Makes the microphone the recording source.
    virtual bool SelectMicrophoneAsRecordSource() = 0;
    virtual bool SetMicVolume(int32_t percent) = 0;
    virtual int32_t GetMicVolume() = 0;  // 0 when the control cannot be read
    virtual bool SetMicVolumeRaw(uint32_t raw) = 0;
    virtual bool SetSpeakerVolume(int32_t percent) = 0;
    virtual int32_t GetSpeakerVolume() = 0;  // -1 on mixer failure
    // One write of a raw volume, no read-back.
    virtual bool SetSpeakerVolumeRaw(uint32_t raw) = 0;
    // Mutes the microphone's line into the speakers, never its recording.
    virtual bool MuteFirstMicrophoneLine() = 0;
    virtual bool SetSpeakerMute(bool mute) = 0;
};

// A machine without a usable mixer: every operation fails quietly.
class NoMixer final : public TalkMixer {
public:
    bool SelectMicrophoneAsRecordSource() override { return false; }
    bool SetMicVolume(int32_t) override { return false; }
    int32_t GetMicVolume() override { return 0; }
    bool SetMicVolumeRaw(uint32_t) override { return false; }
    bool SetSpeakerVolume(int32_t) override { return false; }
    int32_t GetSpeakerVolume() override { return -1; }
    bool SetSpeakerVolumeRaw(uint32_t) override { return false; }
    bool MuteFirstMicrophoneLine() override { return false; }
    bool SetSpeakerMute(bool) override { return false; }
};

// Which of the multimedia API's two sets of mixer calls the winmm backend
// uses: the wide ones (the voice engine) or the 8-bit ones (the voice-message
// recorder). They behave the same; other backends have one set only.
enum class MixerCalls { Wide, Narrow };

// The platform's mixer: winmm on Windows, ALSA's simple mixer of the
// `default` control device elsewhere.
std::unique_ptr<TalkMixer> MakePlatformMixer(MixerCalls calls);
