#include "update/tools/terminal_reporter.h"

#include <langinfo.h>
#include <strings.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>

#include "platform/text_encoding.h"
#include "update/update_texts.h"

namespace update {

namespace {

constexpr int kBarWidth = 40;

bool IsGbkCharset(const char* name) {
    return strcasecmp(name, "GBK") == 0 || strcasecmp(name, "GB18030") == 0 || strcasecmp(name, "GB2312") == 0;
}

}  // namespace

TerminalReporter::TerminalReporter() {
    std::setlocale(LC_ALL, "");
    gbkTerminal_ = IsGbkCharset(nl_langinfo(CODESET));
    terminal_ = isatty(STDOUT_FILENO) != 0;
}

// Without carriage returns, which would move the cursor back.
std::string TerminalReporter::Shown(const std::string& gbk) const {
    std::string text;
    for (char c : gbk)
        if (c != '\r') text += c;
    return gbkTerminal_ ? text : platform::GbkToUtf8(text);
}

void TerminalReporter::Print(const std::string& gbk) {
    std::lock_guard<std::mutex> lock(mutex_);
    EndProgressLocked();
    std::printf("%s\n", Shown(gbk).c_str());
    std::fflush(stdout);
}

void TerminalReporter::ShowMessage(const std::string& text, MessageCaption caption, MessageIcon) {
    const std::string title = caption == MessageCaption::MessageManager ? kMessageCaption : "UpDate";
    Print(title + ": " + text);
}

void TerminalReporter::SetRowStatus(int row, const std::string& text) {
    const std::string name = row >= 0 && std::size_t(row) < rows_.size() ? rows_[std::size_t(row)] : std::to_string(row);
    Print(name + "  " + text);
}

void TerminalReporter::Progress(const std::string& label, int position, const std::string& note) {
    if (!terminal_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    const int filled = position * kBarWidth / 1000;
    std::string bar(std::size_t(filled), '#');
    bar.append(std::size_t(kBarWidth - filled), '.');
    std::printf("\r%s [%s] %3d%% %s\033[K", Shown(label).c_str(), bar.c_str(), position / 10, note.c_str());
    std::fflush(stdout);
    barShown_ = true;
}

void TerminalReporter::EndProgress() {
    std::lock_guard<std::mutex> lock(mutex_);
    EndProgressLocked();
}

void TerminalReporter::EndProgressLocked() {
    if (!barShown_) return;
    std::printf("\r\033[K");
    barShown_ = false;
}

}  // namespace update
