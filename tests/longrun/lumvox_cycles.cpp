// Record/pack/load cycles of the voice-message recorder on virtual devices
// that keep the real pace, each device on its own thread as the sound
// system's callbacks are: record, stop, build the pack text, load it back,
// play it, stop. Prints "progress N" every 10 cycles (the long-run driver
// samples the process then).
//   lumvox_cycles MIC.pcm COUNT RECORD_MS
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "audio/virtual/virtual_wave_devices.h"
#include "platform/clock.h"
#include "voicemsg/leave_word_recorder.h"
#include "voicemsg/pack_text.h"

namespace {

// The devices' stop waits, shortened: virtual devices go quiet at once.
class ShortSleeper final : public platform::Sleeper {
public:
    void SleepMs(uint32_t) override { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }
};

}  // namespace

int main(int argc, char** argv) {
    using namespace voicemsg;
    if (argc != 4) {
        std::fprintf(stderr, "usage: lumvox_cycles MIC.pcm COUNT RECORD_MS\n");
        return 2;
    }
    const int count = std::atoi(argv[2]);
    const auto recordTime = std::chrono::milliseconds(std::atoi(argv[3]));
    auto mic = PcmSource::FromFile(argv[1]);
    auto speaker = PcmSink::ToFile("/dev/null");
    if (!mic || !speaker) return 2;
    ShortSleeper sleeper;
    LeaveWordServices services;
    services.devices = {MakeVirtualWaveDeviceFactory({mic, speaker, nullptr}), &sleeper};
    CLeaveWordRecorder recorder(services);
    std::vector<char> text(kPackTextCapacity);
    int empty = 0;
    for (int i = 1; i <= count; ++i) {
        recorder.StartRecording();
        std::this_thread::sleep_for(recordTime);
        recorder.StopRecording();
        const uint32_t length = recorder.BuildPackText(text.data());
        if (length == 0) ++empty;
        recorder.LoadPackText(text.data(), length);
        recorder.StartPlayback();
        std::this_thread::sleep_for(recordTime);
        recorder.StopPlayback();
        if (i % 10 == 0) std::printf("progress %d\n", i), std::fflush(stdout);
    }
    std::printf("cycles %d, empty messages %d\n", count, empty);
    return empty == 0 ? 0 : 1;
}
