#pragma once
// The terminal's side of the updater: messages and row texts as lines, GBK
// turned into the terminal's character set, progress as a bar when the output
// is a terminal. Workers and the main thread print through one lock.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "update/update_reporter.h"

namespace update {

class TerminalReporter final : public UpdateReporter {
public:
    TerminalReporter();
    void ShowMessage(const std::string& text, MessageCaption caption, MessageIcon icon) override;
    void SetRowStatus(int row, const std::string& text) override;

    // Row names (the entries' versions) for the row lines.
    void SetRows(std::vector<std::string> rows) { rows_ = std::move(rows); }
    // GBK text as the terminal shows it.
    std::string Shown(const std::string& gbk) const;
    void Print(const std::string& gbk);
    // A progress bar of `position` (0..1000) with a note, redrawn in place; nothing when not a terminal.
    void Progress(const std::string& label, int position, const std::string& note);
    void EndProgress();
    bool Interactive() const { return terminal_; }

private:
    void EndProgressLocked();

    std::mutex mutex_;
    bool gbkTerminal_ = false;
    bool terminal_ = false;
    bool barShown_ = false;
    std::vector<std::string> rows_;
};

}  // namespace update
