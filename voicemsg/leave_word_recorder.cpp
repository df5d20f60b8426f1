#include "voicemsg/leave_word_recorder.h"

#include "audio/buffer_monitor.h"
#include "voicemsg/pack_text.h"

namespace voicemsg {

namespace {

// A message is raw PCM in 30 ms blocks, played from its start.
constexpr WaveInConfig kCaptureConfig{kPackBlockBytes, false};
constexpr WaveOutConfig kPlaybackConfig{false, WaveOutConfig::ReaderStart::Oldest};
constexpr uint32_t kFullMicVolume = 0xFFFF;
constexpr uint32_t kHalfSpeakerVolume = 0x7FFF;

}  // namespace

CLeaveWordRecorder::CLeaveWordRecorder(LeaveWordServices services)
    : waveIn_(services.devices, kCaptureConfig),
      waveOut_(services.devices, kPlaybackConfig),
      mixer_(services.makeMixer ? services.makeMixer() : std::make_unique<NoMixer>()) {
    queue_ = std::make_unique<CBufferMonitor>();
    queue_->SetOversizeWarning(std::move(services.oversizeWarning));
    // A sound card without some of these controls still records and plays.
    mixer_->SelectMicrophoneAsRecordSource();
    mixer_->SetMicVolumeRaw(kFullMicVolume);
    mixer_->SetSpeakerVolumeRaw(kHalfSpeakerVolume);
    mixer_->MuteFirstMicrophoneLine();
    mixer_->SetSpeakerMute(false);
    state_ = Idle;
}

CLeaveWordRecorder::~CLeaveWordRecorder() {
    if (state_ == Playing)
        StopPlayback();
    else if (state_ == Recording)
        StopRecording();
    queue_.reset();
}

bool CLeaveWordRecorder::StartRecording() {
    if (state_ != Idle) return false;
    queue_->ClearQueue();
    waveIn_.SetTarget(queue_.get());
    waveIn_.SetRunning(true);
    waveIn_.Start();
    waveIn_.SetTimeStamp(0);
    state_ = Recording;
    return true;
}

bool CLeaveWordRecorder::StopRecording() {
    if (state_ != Recording) return false;
    waveIn_.Stop();  // only when running: waits, then resets and closes the device
    waveIn_.SetTimeStamp(0);
    waveIn_.SetTarget(nullptr);
    state_ = Idle;
    return true;
}

void CLeaveWordRecorder::StartPlayback() {
    if (state_ != Idle) return;
    waveOut_.SetSource(queue_.get());
    waveOut_.Start();
    state_ = Playing;
}

void CLeaveWordRecorder::StopPlayback() {
    if (state_ != Playing) return;
    waveOut_.Stop();  // lets the device drain, closes it and releases the reader
    waveOut_.SetSource(nullptr);
    state_ = Idle;
}

uint32_t CLeaveWordRecorder::BuildPackText(char* out) {
    return out ? voicemsg::BuildPackText(*queue_, out, kPackTextCapacity) : 0;
}

void CLeaveWordRecorder::LoadPackText(const char* text, uint32_t length) { voicemsg::LoadPackText(*queue_, text, length); }

size_t CLeaveWordRecorder::BlockCount() const { return queue_->BlockCount(); }

}  // namespace voicemsg
