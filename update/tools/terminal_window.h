#pragma once
// The updater's stages shown in a terminal: messages and row texts as lines,
// the progress as a bar with the download's byte count, the window's end as
// the end of the main loop.
#include <map>
#include <set>
#include <string>

#include "update/tools/terminal_reporter.h"
#include "update/update_flags.h"
#include "update/update_window.h"

namespace update {

class TerminalWindow final : public UpdateWindow {
public:
    explicit TerminalWindow(TerminalReporter& out) : out_(out) {}
    // The counters whose byte counts the download bar shows.
    void Watch(const UpdateFlags& flags) { flags_ = &flags; }

    void ShowMessage(const std::string& text, MessageCaption caption, MessageIcon icon) override {
        out_.ShowMessage(text, caption, icon);
    }
    // A row's text printed once, even when set again unchanged.
    void SetRowStatus(int row, const std::string& text) override {
        if (rowTexts_[row] == text) return;
        rowTexts_[row] = text;
        out_.SetRowStatus(row, text);
    }
    // A terminal shows no banners; there is nothing to fail.
    bool LoadTipBitmap(const char*) override { return true; }
    void ShowProgressControls() override {}
    void DisableCancel() override {}
    void SetProgressLabel(const std::string& text) override { label_ = text; }
    void SetProgress(int position) override;
    void StartTimer(DialogTimer timer) override { timers_.insert(timer); }
    void StopTimer(DialogTimer timer) override { timers_.erase(timer); }
    void EndDialog(int) override { ended_ = true; }

    bool Ended() const { return ended_; }
    const std::set<DialogTimer>& Timers() const { return timers_; }

private:
    TerminalReporter& out_;
    const UpdateFlags* flags_ = nullptr;
    std::string label_;
    std::set<DialogTimer> timers_;
    std::map<int, std::string> rowTexts_;
    bool ended_ = false;
};

}  // namespace update
