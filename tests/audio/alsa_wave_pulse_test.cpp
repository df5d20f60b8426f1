// The ALSA wave devices on a real sound server (run by scripts/with-sound-server),
// which delivers captured sound in chunks at its own pace.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "audio/wave_device_factory.h"

namespace {

struct Returned {
    int buffers = 0;
    uint32_t bytes = 0;
};

void CountReturns(uint32_t message, void* instance, WaveBuffer* buffer) {
    auto* returned = static_cast<Returned*>(instance);
    if (message != kWimData || !buffer) return;
    ++returned->buffers;
    returned->bytes += buffer->bytesRecorded;
}

// A long buffer is read once a good part of it is there; a reset before then
// still returns what the device captured so far. Only resets within 30 ms of
// the start count: later, the buffer may have been read in the usual way.
TEST(AlsaWaveOnSoundServer, ResetReturnsWhatWasCapturedSoFar) {
    using Clock = std::chrono::steady_clock;
    bool counted = false;
    for (int attempt = 0; attempt < 10 && !counted; ++attempt) {
        Returned returned;
        auto in = PlatformWaveDeviceFactory()->CreateWaveIn();
        ASSERT_EQ(in->Open(WaveFormat{}, &CountReturns, &returned), kWaveOk) << "run under scripts/with-sound-server";
        std::vector<uint8_t> bytes(4000);  // 250 ms
        WaveBuffer buffer{bytes.data(), uint32_t(bytes.size())};
        ASSERT_EQ(in->Prepare(&buffer), kWaveOk);
        ASSERT_EQ(in->AddBuffer(&buffer), kWaveOk);
        const Clock::time_point start = Clock::now();
        ASSERT_EQ(in->Start(), kWaveOk);
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        EXPECT_EQ(in->Reset(), kWaveOk);
        const bool early = Clock::now() - start < std::chrono::milliseconds(30);
        EXPECT_EQ(in->Close(), kWaveOk);
        EXPECT_EQ(returned.buffers, 1);
        EXPECT_LT(returned.bytes, bytes.size());
        EXPECT_EQ(returned.bytes % 2, 0u);
        counted = early && returned.bytes > 0;
    }
    EXPECT_TRUE(counted) << "no early reset returned captured sound";
}

}  // namespace
