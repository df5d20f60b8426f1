#include "update/tools/terminal_window.h"

#include <cstdio>

#include "update/update_texts.h"

namespace update {

namespace {

std::string Megabytes(int64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", double(bytes) / (1024.0 * 1024.0));
    return text;
}

}  // namespace

void TerminalWindow::SetProgress(int position) {
    std::string note;
    if (flags_ != nullptr && timers_.count(DialogTimer::Download) != 0) {
        const int64_t got = flags_->bytesReceived.load(), total = flags_->bytesExpected.load();
        note = Megabytes(got) + (total >= 0 ? " / " + Megabytes(total) : std::string());
    }
    out_.Progress(label_.empty() ? kDownloadProgressLabel : label_, position, note);
}

}  // namespace update
