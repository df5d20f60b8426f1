// A received message as CreateModal opens it: loaded into the dialog, which
// then plays it to its end on a hand-driven speaker and stops. When the text is
// whole 640-character chunks of well-formed Base64, the speaker must hear
// exactly its bytes after the silence every playback starts with.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/wave_device.h"
#include "common/base64.h"
#include "tests/support/sleepers.h"
#include "tests/support/wave_fakes.h"
#include "voicemsg/leave_word_dialog.h"
#include "voicemsg/leave_word_recorder.h"
#include "voicemsg/pack_text.h"

using namespace voicemsg;

namespace {

constexpr int kSilentBuffers = 8;

void Check(bool condition) {
    if (!condition) std::abort();
}

bool WholeChunks(const char* text, uint32_t size) {
    return size > 0 && size % kPackChunkChars == 0 && FirstMalformedChunk(text, size) == 0 &&
           std::memchr(text, '=', size) == nullptr;
}

std::vector<uint8_t> Decoded(const char* text, uint32_t size) {
    std::vector<uint8_t> bytes(size / 4 * 3);
    for (uint32_t at = 0; at < size; at += 4) common::Base64DecodeGroup(text + at, &bytes[at / 4 * 3]);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static support::NoSleeper noSleep;
    const auto* text = reinterpret_cast<const char*>(data);
    auto factory = std::make_shared<ManualWaveFactory>();
    LeaveWordServices services;
    services.devices = {factory, &noSleep};
    CLeaveWordRecorder recorder(services);
    HeadlessLeaveWordView view;
    LeaveWordDialog dialog(recorder, view);
    dialog.LoadMessage(text, uint32_t(size));
    dialog.OnInitDialog();
    const size_t blocks = recorder.BlockCount();
    Check(dialog.Length() == int32_t(blocks / LeaveWordDialog::kBlocksPerSecond));
    Check(dialog.GetState() == (dialog.Length() > 0 ? LeaveWordDialog::Stopped : LeaveWordDialog::Empty));
    if (dialog.GetState() != LeaveWordDialog::Stopped) return 0;

    dialog.OnPlay();
    ManualDeviceLog& speaker = *factory->log;
    std::vector<uint8_t> heard;
    for (size_t i = 0; i < kSilentBuffers + blocks; ++i) {
        // What the speaker played is taken before the buffer goes back, whose callback refills it.
        Check(!speaker.queued.empty());
        const WaveBuffer* played = speaker.queued.front();
        if (i >= kSilentBuffers) heard.insert(heard.end(), played->data, played->data + played->length);
        speaker.ReturnOldest(kWomDone, 0);
    }
    dialog.OnStop();
    Check(dialog.GetState() == LeaveWordDialog::Stopped && recorder.GetState() == MessageRecorder::Idle);
    if (WholeChunks(text, uint32_t(size))) Check(heard == Decoded(text, uint32_t(size)));
    return 0;
}
