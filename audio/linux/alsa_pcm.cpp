#include "audio/linux/alsa_pcm.h"

#include "audio/linux/alsa_quiet.h"

namespace {

// Periods as long as the buffers each direction moves, the 10 ms capture
// buffer and the 30 ms playback block, so that a sound server behind the PCM
// wakes once per buffer; the ring holds several of them.
struct Timing {
    unsigned periodMicros, ringMicros;
};
constexpr Timing kCaptureTiming{10000, 80000};
constexpr Timing kPlaybackTiming{30000, 90000};

bool SetHardware(snd_pcm_t* pcm, const WaveFormat& format, const Timing& timing) {
    snd_pcm_hw_params_t* hw;
    snd_pcm_hw_params_alloca(&hw);
    unsigned rate = format.samplesPerSec;
    unsigned period = timing.periodMicros;
    unsigned buffer = timing.ringMicros;
    return snd_pcm_hw_params_any(pcm, hw) >= 0 &&
           snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED) >= 0 &&
           snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16_LE) >= 0 &&
           snd_pcm_hw_params_set_channels(pcm, hw, format.channels) >= 0 &&
           snd_pcm_hw_params_set_rate_near(pcm, hw, &rate, nullptr) >= 0 && rate == format.samplesPerSec &&
           snd_pcm_hw_params_set_period_time_near(pcm, hw, &period, nullptr) >= 0 &&
           snd_pcm_hw_params_set_buffer_time_near(pcm, hw, &buffer, nullptr) >= 0 &&
           snd_pcm_hw_params(pcm, hw) >= 0;
}

// Playback starts once one period is queued rather than when the ring is full.
bool SetSoftware(snd_pcm_t* pcm) {
    snd_pcm_uframes_t period = 0;
    snd_pcm_uframes_t buffer = 0;
    snd_pcm_sw_params_t* sw;
    snd_pcm_sw_params_alloca(&sw);
    return snd_pcm_get_params(pcm, &buffer, &period) >= 0 && snd_pcm_sw_params_current(pcm, sw) >= 0 &&
           snd_pcm_sw_params_set_start_threshold(pcm, sw, period) >= 0 &&
           snd_pcm_sw_params_set_avail_min(pcm, sw, period) >= 0 && snd_pcm_sw_params(pcm, sw) >= 0;
}

}  // namespace

snd_pcm_t* OpenAlsaPcm(const char* name, snd_pcm_stream_t direction, const WaveFormat& format) {
    if (format.formatTag != 1 || format.bitsPerSample != 16) return nullptr;
    SilenceAlsaMessages();
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, name, direction, SND_PCM_NONBLOCK) < 0) return nullptr;
    const Timing& timing = direction == SND_PCM_STREAM_CAPTURE ? kCaptureTiming : kPlaybackTiming;
    if (SetHardware(pcm, format, timing) && SetSoftware(pcm) && snd_pcm_prepare(pcm) >= 0) return pcm;
    snd_pcm_close(pcm);
    return nullptr;
}
