#include "talk/wave_talk_audio.h"

WaveTalkAudio::WaveTalkAudio(platform::Sleeper& sleeper)
    : waveIn_(WaveDeviceSetup{nullptr, &sleeper}), waveOut_(WaveDeviceSetup{nullptr, &sleeper}) {}

void WaveTalkAudio::StartCapture(CBufferMonitor* target) {
    waveIn_.SetTarget(target);
    waveIn_.SetRunning(true);
    waveIn_.Start();
    waveIn_.SetTimeStamp(0);
}

void WaveTalkAudio::StopCapture() {
    waveIn_.Stop();
    waveIn_.SetTimeStamp(0);
    waveIn_.SetTarget(nullptr);
}

void WaveTalkAudio::StartPlayback(PlaybackFeed* feed) {
    waveOut_.SetFeed(feed);
    waveOut_.Start();
}

void WaveTalkAudio::StopPlayback() {
    waveOut_.Stop();
    waveOut_.SetFeed(nullptr);
}
