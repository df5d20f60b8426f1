#include "voicemsg/leave_word_dialog.h"

#include <cstring>

#include "voicemsg/pack_text.h"
#include "voicemsg/resource.h"

namespace voicemsg {

namespace {

std::string Seconds(int32_t seconds) { return std::to_string(seconds) + "秒"; }

}  // namespace

LeaveWordDialog::LeaveWordDialog(MessageRecorder& recorder, LeaveWordView& view)
    : recorder_(recorder), view_(view), text_(std::make_unique<char[]>(kPackTextCapacity)) {}

LeaveWordDialog::~LeaveWordDialog() {
    if (state_ == Recording) recorder_.StopRecording();
    if (state_ == Playing && recorder_.GetState() == MessageRecorder::Playing) recorder_.StopPlayback();
}

void LeaveWordDialog::LoadMessage(const char* text, uint32_t size) {
    if (!text || size > kPackTextCapacity) return;
    readOnly_ = true;
    std::memset(text_.get(), 0, kPackTextCapacity);
    std::memcpy(text_.get(), text, size);
    recorder_.LoadPackText(text_.get(), size);
    length_ = int32_t(recorder_.BlockCount() / kBlocksPerSecond);
    state_ = length_ > 0 ? Stopped : Empty;
}

void LeaveWordDialog::OnInitDialog() {
    UpdateButtons(state_);
    limit_ = kRecordLimit;
}

void LeaveWordDialog::UpdateButtons(int32_t state) {
    const bool busy = state == Recording || state == Playing;
    view_.EnableControl(IDC_RECORD, !busy);
    view_.EnableControl(IDC_STOP, busy);
    view_.EnableControl(IDC_PLAY, state == Stopped);
    view_.EnableControl(IDC_HIDDEN1, false);
    view_.EnableControl(IDC_HIDDEN2, false);
    view_.EnableControl(IDC_SEND, state == Stopped && !readOnly_);
    if (state == Stopped) view_.SetSliderPos(0);
    view_.SetElapsedText(Seconds(0));
}

void LeaveWordDialog::OnRecord() {
    limit_ = kRecordLimit;
    elapsed_ = 0;
    view_.SetSliderRange(kRecordLimit, false);
    length_ = 0;
    view_.SetSliderPos(0);
    state_ = Recording;
    UpdateButtons(state_);
    recorder_.StartRecording();
    view_.StartTimer();
}

void LeaveWordDialog::OnPlay() {
    elapsed_ = 0;
    limit_ = length_;
    view_.SetSliderRange(length_, false);
    view_.SetSliderPos(0);
    state_ = Playing;
    UpdateButtons(state_);
    view_.StartTimer();
    if (recorder_.GetState() == MessageRecorder::Idle) recorder_.StartPlayback();
}

void LeaveWordDialog::OnTimer() {
    ++elapsed_;
    view_.SetSliderPos(elapsed_);
    view_.SetElapsedText(Seconds(elapsed_));
    if (elapsed_ < limit_) return;
    view_.KillTimer();
    StopDevice();
    state_ = Stopped;
    UpdateButtons(state_);
}

void LeaveWordDialog::OnStop() {
    view_.KillTimer();
    StopDevice();
    state_ = length_ <= 0 ? Empty : Stopped;
    UpdateButtons(state_);
}

void LeaveWordDialog::OnSend() { view_.EndDialog(1); }

uint32_t LeaveWordDialog::BuildPackText() { return recorder_.BuildPackText(text_.get()); }

void LeaveWordDialog::StopDevice() {
    if (state_ == Recording) {
        recorder_.StopRecording();
        length_ = elapsed_;
    } else if (state_ == Playing && recorder_.GetState() == MessageRecorder::Playing) {
        recorder_.StopPlayback();
    }
}

}  // namespace voicemsg
