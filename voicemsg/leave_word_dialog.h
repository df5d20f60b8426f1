#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "voicemsg/message_recorder.h"

namespace voicemsg {

// What the dialog logic changes on screen; the Win32 dialog implements it.
class LeaveWordView {
public:
    virtual ~LeaveWordView() = default;
    virtual void EnableControl(int id, bool enabled) = 0;
    virtual void SetSliderRange(int32_t maximum, bool redraw) = 0;  // from 0
    virtual void SetSliderPos(int32_t position) = 0;
    virtual void SetElapsedText(const std::string& gbk) = 0;
    virtual void StartTimer() = 0;  // timer 1, every 1000 ms
    virtual void KillTimer() = 0;
    virtual void EndDialog(int result) = 0;
};

// A view that shows nothing, for the dialog's logic run without a window.
class HeadlessLeaveWordView final : public LeaveWordView {
public:
    void EnableControl(int, bool) override {}
    void SetSliderRange(int32_t, bool) override {}
    void SetSliderPos(int32_t) override {}
    void SetElapsedText(const std::string&) override {}
    void StartTimer() override {}
    void KillTimer() override {}
    void EndDialog(int) override {}
};

// The voice-message dialog without its window: the states, the buttons each
// state allows, the seconds counted by the timer, and the message text.
class LeaveWordDialog {
public:
    enum State : int32_t { Recording = 0, Playing = 1, Stopped = 2, Empty = 3 };
    static constexpr int32_t kRecordLimit = 30;      // seconds
    static constexpr size_t kBlocksPerSecond = 33;   // whole seconds of a loaded message

    LeaveWordDialog(MessageRecorder& recorder, LeaveWordView& view);
    // Stops a recording or playback still running.
    ~LeaveWordDialog();
    LeaveWordDialog(const LeaveWordDialog&) = delete;
    LeaveWordDialog& operator=(const LeaveWordDialog&) = delete;

    // Before the dialog shows: a received message, played read-only. A text
    // larger than the text buffer is ignored and the dialog opens empty.
    void LoadMessage(const char* text, uint32_t size);
    void OnInitDialog();
    void UpdateButtons(int32_t state);
    void OnRecord();
    void OnPlay();
    void OnTimer();
    void OnStop();
    void OnSend();

    // The message's pack text, built into the text buffer; its length.
    uint32_t BuildPackText();
    const char* Text() const { return text_.get(); }

    int32_t GetState() const { return state_; }
    int32_t Limit() const { return limit_; }
    int32_t Elapsed() const { return elapsed_; }
    int32_t Length() const { return length_; }
    bool ReadOnly() const { return readOnly_; }

private:
    void StopDevice();

    MessageRecorder& recorder_;
    LeaveWordView& view_;
    std::unique_ptr<char[]> text_;
    int32_t state_ = Empty;
    int32_t limit_ = kRecordLimit;
    int32_t elapsed_ = 0;
    int32_t length_ = 0;
    bool readOnly_ = false;
};

}  // namespace voicemsg
