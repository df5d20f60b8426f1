// lumvox: records, plays and inspects voice messages from the command line,
// on the recorder and the dialog logic of the voice-message dialog.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "audio/buffer_monitor.h"
#include "audio/virtual/virtual_wave_devices.h"
#include "common/tool_info.h"
#include "lumvox_options.h"
#include "pack_file.h"
#include "terminal.h"
#include "voicemsg/leave_word_dialog.h"
#include "voicemsg/leave_word_recorder.h"
#include "voicemsg/pack_text.h"

namespace voicemsg {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBlockDuration = std::chrono::milliseconds(30);
constexpr auto kLeadingSilence = std::chrono::milliseconds(240);

std::atomic<bool> g_interrupted{false};

void OnInterrupt(int) { g_interrupted = true; }

// Ctrl-C acts as the stop button.
bool SleepUntil(Clock::time_point at) {
    while (Clock::now() < at) {
        if (g_interrupted) return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(at - Clock::now(), std::chrono::milliseconds(50)));
    }
    return !g_interrupted;
}

class Progress {
public:
    explicit Progress(const char* activity) : activity_(activity), shown_(StdoutIsTerminal()) { Show(0); }
    ~Progress() {
        if (shown_) std::printf("\n");
    }
    void Show(int seconds) {
        if (!shown_) return;
        std::printf("\r%s: %d s", activity_, seconds);
        std::fflush(stdout);
    }

private:
    const char* activity_;
    bool shown_;
};

// The sound card's mixer is prepared as the dialog prepares it, but only when
// the sound card is used: files have no volume to set.
LeaveWordServices ServicesOn(std::shared_ptr<WaveDeviceFactory> devices, bool soundCard) {
    LeaveWordServices services = DefaultLeaveWordServices();
    services.devices.factory = std::move(devices);
    if (!soundCard) services.makeMixer = nullptr;
    return services;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "lumvox: %s\n", message.c_str());
    return 1;
}

int Record(const LumvoxOptions& options) {
    const auto devices = MakeFileOrDeviceWaveFactory(options.micFile, "");
    if (!devices) return Fail("cannot read " + options.micFile);
    if (options.seconds > LeaveWordDialog::kRecordLimit)
        std::fprintf(stderr, "lumvox: a message is at most %d s long\n", LeaveWordDialog::kRecordLimit);
    CLeaveWordRecorder recorder(ServicesOn(devices, options.micFile.empty()));
    HeadlessLeaveWordView view;
    LeaveWordDialog dialog(recorder, view);
    dialog.OnInitDialog();
    {
        Progress progress("recording");
        dialog.OnRecord();
        for (auto tick = Clock::now(); dialog.GetState() == LeaveWordDialog::Recording;) {
            tick += std::chrono::seconds(1);
            if (!SleepUntil(tick)) break;
            dialog.OnTimer();  // stops by itself at the dialog's limit
            progress.Show(dialog.Elapsed());
            if (dialog.Elapsed() >= options.seconds) break;
        }
        if (dialog.GetState() == LeaveWordDialog::Recording) dialog.OnStop();
    }
    const size_t blocks = recorder.BlockCount();
    if (blocks == 0) return Fail("nothing was recorded: no audio came from the microphone");
    const uint32_t size = dialog.BuildPackText();
    if (!WritePackFile(options.path, dialog.Text(), size)) return Fail("cannot write " + options.path);
    std::printf("recorded %d s: %zu blocks, %u characters in %s\n", dialog.Length(), blocks, size,
                options.path.c_str());
    return 0;
}

int Play(const LumvoxOptions& options) {
    std::string error;
    const auto text = ReadPackFile(options.path, error);
    if (!text) return Fail(error);
    const auto devices = MakeFileOrDeviceWaveFactory("", options.speakerFile);
    if (!devices) return Fail("cannot write " + options.speakerFile);
    CLeaveWordRecorder recorder(ServicesOn(devices, options.speakerFile.empty()));
    recorder.LoadPackText(text->data(), uint32_t(text->size()));
    const size_t blocks = recorder.BlockCount();
    {
        Progress progress("playing");
        const auto start = Clock::now();
        const auto end = start + kLeadingSilence + int64_t(blocks) * kBlockDuration;
        recorder.StartPlayback();
        for (int second = 1; SleepUntil(std::min(end, start + std::chrono::seconds(second))); ++second) {
            if (Clock::now() >= end) break;
            progress.Show(second);
        }
        recorder.StopPlayback();  // lets the device play out what it holds
    }
    std::printf("played %zu blocks (%.2f s)\n", blocks, double(blocks) * 0.03);
    return 0;
}

int Info(const LumvoxOptions& options) {
    std::string error;
    const auto text = ReadPackFile(options.path, error);
    if (!text) return Fail(error);
    CBufferMonitor queue;
    LoadPackText(queue, text->data(), uint32_t(text->size()));
    const size_t blocks = queue.BlockCount();
    uint64_t bytes = 0;
    QueueReader* reader = queue.OpenReaderAtOldest();
    while (const uint8_t* block = queue.ReadNext(reader)) bytes += ReadFrameBlockHeader(block).length;
    queue.CloseReader(reader);
    std::printf("blocks: %zu\nseconds: %zu (%.2f s of audio)\nbytes: %llu\n", blocks,
                blocks / LeaveWordDialog::kBlocksPerSecond, double(bytes) / 16000, (unsigned long long)bytes);
    return 0;
}

}  // namespace
}  // namespace voicemsg

int main(int argc, char** argv) {
    using namespace voicemsg;
    if (PrintToolInfo(argc, argv, "lumvox", kLumvoxUsage)) return 0;
    std::string error;
    const auto options = ParseLumvoxOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "lumvox: %s\n%s", error.c_str(), kLumvoxUsage);
        return 2;
    }
    std::signal(SIGINT, OnInterrupt);
    switch (options->command) {
    case LumvoxOptions::Command::Record:
        return Record(*options);
    case LumvoxOptions::Command::Play:
        return Play(*options);
    case LumvoxOptions::Command::Info:
        return Info(*options);
    }
    return 2;
}
