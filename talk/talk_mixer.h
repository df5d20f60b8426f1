#pragma once
#include <cstdint>

// The system mixer as the engine drives it.
class TalkMixer {
public:
    virtual ~TalkMixer() = default;
    virtual void SelectMicrophoneAsRecordSource() = 0;
    virtual void SetMicVolume(int32_t percent) = 0;
    virtual int32_t GetMicVolume() = 0;  // 0 when the control cannot be read
    virtual void SetSpeakerVolume(int32_t percent) = 0;
    virtual int32_t GetSpeakerVolume() = 0;  // -1 on mixer failure
    virtual void MuteFirstMicrophoneLine() = 0;
    virtual void SetSpeakerMute(bool mute) = 0;
};

// A machine without a usable mixer: every operation fails quietly.
class NoMixer final : public TalkMixer {
public:
    void SelectMicrophoneAsRecordSource() override {}
    void SetMicVolume(int32_t) override {}
    int32_t GetMicVolume() override { return 0; }
    void SetSpeakerVolume(int32_t) override {}
    int32_t GetSpeakerVolume() override { return -1; }
    void MuteFirstMicrophoneLine() override {}
    void SetSpeakerMute(bool) override {}
};
