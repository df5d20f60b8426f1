#include "voicemsg/leave_word_dialog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "audio/buffer_monitor.h"
#include "voicemsg/leave_word_pack.h"
#include "voicemsg/pack_text.h"
#include "voicemsg/resource.h"

namespace voicemsg {
namespace {

using Events = std::vector<std::string>;

// A recorder whose devices only log; the message itself is a real queue.
class FakeRecorder final : public MessageRecorder {
public:
    int32_t GetState() const override { return state; }
    bool StartRecording() override {
        events.push_back("start recording");
        if (state != Idle) return false;
        state = Recording;
        return true;
    }
    bool StopRecording() override {
        events.push_back("stop recording");
        if (state != Recording) return false;
        state = Idle;
        return true;
    }
    void StartPlayback() override {
        events.push_back("start playback");
        if (state == Idle) state = Playing;
    }
    void StopPlayback() override {
        events.push_back("stop playback");
        if (state == Playing) state = Idle;
    }
    uint32_t BuildPackText(char* out) override { return voicemsg::BuildPackText(queue, out, kPackTextCapacity); }
    void LoadPackText(const char* text, uint32_t length) override { voicemsg::LoadPackText(queue, text, length); }
    size_t BlockCount() const override { return queue.BlockCount(); }

    CBufferMonitor queue;
    int32_t state = Idle;
    Events events;
};

class FakeView final : public LeaveWordView {
public:
    void EnableControl(int id, bool enabled) override { enabled_[id] = enabled; }
    void SetSliderRange(int32_t maximum, bool) override { sliderMax = maximum; }
    void SetSliderPos(int32_t position) override { sliderPos = position; }
    void SetElapsedText(const std::string& gbk) override { label = gbk; }
    void StartTimer() override { timer = true; }
    void KillTimer() override { timer = false; }
    void EndDialog(int result) override { ended = result; }

    // Enabled buttons among record, stop, play, the two hidden ones and send.
    std::string Enabled() const {
        std::string on;
        for (const auto& [id, name] : std::vector<std::pair<int, const char*>>{{IDC_RECORD, "record "}, {IDC_STOP, "stop "},
                                                                  {IDC_PLAY, "play "}, {IDC_HIDDEN1, "hidden1 "},
                                                                  {IDC_HIDDEN2, "hidden2 "}, {IDC_SEND, "send "}})
            if (enabled_.at(id)) on += name;
        return on;
    }

    std::map<int, bool> enabled_;
    int32_t sliderMax = -1, sliderPos = -1;
    std::string label;
    bool timer = false;
    int ended = 0;
};

std::string TextOfBlocks(size_t blocks) { return std::string(blocks * kPackChunkChars, 'Q'); }

class DialogTest : public ::testing::Test {
protected:
    void Open() { dialog.OnInitDialog(); }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) dialog.OnTimer();
    }
    void Load(const std::string& text) { dialog.LoadMessage(text.data(), uint32_t(text.size())); }

    FakeRecorder recorder;
    FakeView view;
    LeaveWordDialog dialog{recorder, view};
};

TEST_F(DialogTest, EachStateEnablesItsButtons) {
    Open();
    EXPECT_EQ(dialog.GetState(), LeaveWordDialog::Empty);
    EXPECT_EQ(view.Enabled(), "record ");
    EXPECT_EQ(dialog.Limit(), 30);
    view.sliderPos = 7;
    dialog.UpdateButtons(LeaveWordDialog::Recording);
    EXPECT_EQ(view.Enabled(), "stop ");
    dialog.UpdateButtons(LeaveWordDialog::Playing);
    EXPECT_EQ(view.Enabled(), "stop ");
    EXPECT_EQ(view.sliderPos, 7);
    view.label.clear();
    dialog.UpdateButtons(LeaveWordDialog::Stopped);
    EXPECT_EQ(view.Enabled(), "record play send ");
    EXPECT_EQ(view.sliderPos, 0);
    EXPECT_EQ(view.label, "0\xC3\xEB");  // "0秒" in GBK
    dialog.UpdateButtons(LeaveWordDialog::Empty);
    EXPECT_EQ(view.Enabled(), "record ");
}

TEST_F(DialogTest, RecordingCountsTicksAndStopGivesAMessageToPlayAndSend) {
    Open();
    dialog.OnRecord();
    EXPECT_EQ(recorder.events, Events{"start recording"});
    EXPECT_TRUE(view.timer);
    EXPECT_EQ(view.sliderMax, 30);
    EXPECT_EQ(view.Enabled(), "stop ");
    Ticks(5);
    EXPECT_EQ(view.sliderPos, 5);
    EXPECT_EQ(view.label, "5\xC3\xEB");
    dialog.OnStop();
    EXPECT_FALSE(view.timer);
    EXPECT_EQ(recorder.events, (Events{"start recording", "stop recording"}));
    EXPECT_EQ(dialog.GetState(), LeaveWordDialog::Stopped);
    EXPECT_EQ(dialog.Length(), 5);
    EXPECT_EQ(view.Enabled(), "record play send ");

    dialog.OnPlay();
    EXPECT_EQ(recorder.events.back(), "start playback");
    EXPECT_EQ(view.sliderMax, 5);
    EXPECT_EQ(view.Enabled(), "stop ");
    Ticks(4);
    EXPECT_EQ(recorder.state, MessageRecorder::Playing);
    Ticks(1);  // the message's length reached
    EXPECT_EQ(recorder.events.back(), "stop playback");
    EXPECT_FALSE(view.timer);
    EXPECT_EQ(dialog.GetState(), LeaveWordDialog::Stopped);
    EXPECT_EQ(dialog.Length(), 5);
    dialog.OnSend();
    EXPECT_EQ(view.ended, 1);
}

TEST_F(DialogTest, StoppingBeforeTheFirstTickLeavesNothingToPlayOrSend) {
    Open();
    dialog.OnRecord();
    dialog.OnStop();
    EXPECT_EQ(dialog.GetState(), LeaveWordDialog::Empty);
    EXPECT_EQ(dialog.Length(), 0);
    EXPECT_EQ(view.Enabled(), "record ");
}

TEST_F(DialogTest, RecordingStopsByItselfAtTheThirtiethTick) {
    Open();
    dialog.OnRecord();
    Ticks(29);
    EXPECT_EQ(dialog.GetState(), LeaveWordDialog::Recording);
    EXPECT_TRUE(view.timer);
    Ticks(1);
    EXPECT_EQ(recorder.events.back(), "stop recording");
    EXPECT_EQ(dialog.GetState(), LeaveWordDialog::Stopped);
    EXPECT_EQ(dialog.Length(), 30);
    EXPECT_FALSE(view.timer);
    dialog.OnRecord();  // a new recording discards the message
    EXPECT_EQ(dialog.Length(), 0);
    EXPECT_EQ(view.sliderPos, 0);
}

TEST_F(DialogTest, AReceivedMessagePlaysReadOnlyForItsWholeSeconds) {
    Load(TextOfBlocks(70));
    EXPECT_TRUE(dialog.ReadOnly());
    EXPECT_EQ(dialog.Length(), 2);
    EXPECT_EQ(dialog.GetState(), LeaveWordDialog::Stopped);
    Open();
    EXPECT_EQ(view.Enabled(), "record play ");
    dialog.OnPlay();
    Ticks(2);
    EXPECT_EQ(recorder.events, (Events{"start playback", "stop playback"}));
    EXPECT_EQ(view.Enabled(), "record play ");
    dialog.OnRecord();
    Ticks(3);
    dialog.OnStop();
    EXPECT_EQ(view.Enabled(), "record play ");  // still not sendable
}

TEST_F(DialogTest, AMessageUnderASecondOrAnOversizedTextOpensEmpty) {
    Load(TextOfBlocks(32));
    EXPECT_EQ(dialog.GetState(), LeaveWordDialog::Empty);
    EXPECT_TRUE(dialog.ReadOnly());
    FakeRecorder otherRecorder;
    FakeView otherView;
    LeaveWordDialog other(otherRecorder, otherView);
    const std::string huge(kPackTextCapacity + 1, 'A');
    other.LoadMessage(huge.data(), uint32_t(huge.size()));
    other.OnInitDialog();
    EXPECT_FALSE(other.ReadOnly());
    EXPECT_EQ(otherRecorder.BlockCount(), 0u);
    other.OnRecord();
    other.OnTimer();
    other.OnStop();
    EXPECT_EQ(otherView.Enabled(), "record play send ");
}

TEST_F(DialogTest, ClosingTheDialogStopsWhatRuns) {
    auto other = std::make_unique<LeaveWordDialog>(recorder, view);
    other->OnRecord();
    other.reset();
    EXPECT_EQ(recorder.events, (Events{"start recording", "stop recording"}));
    EXPECT_EQ(recorder.state, MessageRecorder::Idle);
}

TEST(LeaveWordPack, CarriesTheTextInABlockOfItsOwnUntilFreed) {
    FakeRecorder recorder;
    FakeView view;
    LeaveWordDialog dialog(recorder, view);
    const std::vector<uint8_t> pcm(480 * 3, 0x5A);
    for (int i = 0; i < 3; ++i) recorder.queue.PushFrame(pcm.data(), 480, 40u * (i + 1));
    CStAudioLeaveWord* pack = MakeLeaveWordPack(dialog);
    ASSERT_NE(pack, nullptr);
    ASSERT_EQ(pack->size, 1920u);
    EXPECT_EQ(std::string(pack->data, 4), "Wlpa");
    EXPECT_EQ(pack->data[1920], '\0');
    EXPECT_NE(pack->data, dialog.Text());
    CStAudioLeaveWord copy{nullptr, 0};
    copy = *pack;  // the exported assignment shares the text
    EXPECT_EQ(copy.data, pack->data);
    EXPECT_EQ(copy.size, pack->size);
    FreeLeaveWordPack(pack);
    FreeLeaveWordPack(nullptr);
}

}  // namespace
}  // namespace voicemsg
