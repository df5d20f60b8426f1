#pragma once
#include <alsa/asoundlib.h>

#include "audio/wave_device.h"

// Opens the named PCM non-blocking, set up for the wave format with 10 ms
// capture and 30 ms playback periods; null when the device or the format is
// not available.
snd_pcm_t* OpenAlsaPcm(const char* name, snd_pcm_stream_t direction, const WaveFormat& format);
