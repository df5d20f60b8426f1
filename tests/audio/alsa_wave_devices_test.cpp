#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "audio/wave_device_factory.h"

namespace {

// ALSA's default PCM made a file device of this test's own: capture reads
// in.raw, playback writes out.raw.
class AlsaDefaultDevice : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ::testing::TempDir() + "alsa_wave_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
              std::to_string(getpid());
        std::string mkdir = "mkdir -p '" + dir + "/alsa'";
        ASSERT_EQ(system(mkdir.c_str()), 0);
        std::ofstream(dir + "/alsa/asoundrc") << "pcm.!default { type file slave.pcm null file \"" << dir
                                                << "/out.raw\" infile \"" << dir << "/in.raw\" format raw }\n";
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        snd_config_update_free_global();  // read the configuration again
    }

    void TearDown() override { system(("rm -rf '" + dir + "'").c_str()); }

    static void Proc(uint32_t message, void* instance, WaveBuffer* buffer) {
        auto* self = static_cast<AlsaDefaultDevice*>(instance);
        std::lock_guard guard(self->lock);
        if (!buffer) return;
        if (message == kWimData)
            self->recorded.insert(self->recorded.end(), buffer->data, buffer->data + buffer->bytesRecorded);
        ++self->returned;
        self->changed.notify_all();
    }

    bool WaitForReturns(size_t count) {
        std::unique_lock guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(10), [&] { return returned >= count; });
    }

    std::string dir;
    std::mutex lock;
    std::condition_variable changed;
    size_t returned = 0;
    std::vector<uint8_t> recorded;
};

TEST_F(AlsaDefaultDevice, CaptureFillsBuffersInOrderFromTheDevice) {
    std::vector<uint8_t> input(160 * 6);
    for (size_t i = 0; i < input.size(); ++i) input[i] = uint8_t(i % 251);
    std::ofstream(dir + "/in.raw", std::ios::binary).write(reinterpret_cast<const char*>(input.data()), input.size());
    auto in = PlatformWaveDeviceFactory()->CreateWaveIn();
    ASSERT_EQ(in->Open(WaveFormat{}, &Proc, this), kWaveOk);
    std::array<std::array<uint8_t, 160>, 4> bytes{};
    std::array<WaveBuffer, 4> buffers{};
    for (size_t i = 0; i < 4; ++i) {
        buffers[i] = WaveBuffer{bytes[i].data(), 160};
        ASSERT_EQ(in->Prepare(&buffers[i]), kWaveOk);
        ASSERT_EQ(in->AddBuffer(&buffers[i]), kWaveOk);
    }
    ASSERT_EQ(in->Start(), kWaveOk);
    ASSERT_TRUE(WaitForReturns(4));
    EXPECT_EQ(in->Reset(), kWaveOk);
    EXPECT_EQ(in->Close(), kWaveOk);
    ASSERT_EQ(recorded.size(), 4u * 160);
    EXPECT_TRUE(std::equal(recorded.begin(), recorded.end(), input.begin()));
    for (WaveBuffer& b : buffers) EXPECT_EQ(b.bytesRecorded, 160u);
}

TEST_F(AlsaDefaultDevice, PlaybackHandsEveryBufferToTheDeviceAndReturnsIt) {
    auto out = PlatformWaveDeviceFactory()->CreateWaveOut();
    ASSERT_EQ(out->Open(WaveFormat{}, &Proc, this), kWaveOk);
    std::array<std::array<uint8_t, 480>, 3> bytes{};
    std::array<WaveBuffer, 3> buffers{};
    for (size_t i = 0; i < 3; ++i) {
        bytes[i].fill(uint8_t(0x10 + i));
        buffers[i] = WaveBuffer{bytes[i].data(), 480};
        ASSERT_EQ(out->Prepare(&buffers[i]), kWaveOk);
        ASSERT_EQ(out->Write(&buffers[i]), kWaveOk);
    }
    ASSERT_TRUE(WaitForReturns(3));
    EXPECT_EQ(out->Unprepare(&buffers[0]), kWaveOk);
    EXPECT_EQ(out->Close(), kWaveOk);
    std::ifstream file(dir + "/out.raw", std::ios::binary);
    std::vector<uint8_t> played((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GE(played.size(), 3u * 480);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(played[i * 480 + 7], uint8_t(0x10 + i)) << i;
}

// A trailing byte that makes no whole sample is left over, not waited for.
TEST_F(AlsaDefaultDevice, PlaybackReturnsBuffersWithAByteShortOfAWholeSample) {
    auto out = PlatformWaveDeviceFactory()->CreateWaveOut();
    ASSERT_EQ(out->Open(WaveFormat{}, &Proc, this), kWaveOk);
    std::array<uint8_t, 481> bytes{};
    std::array<WaveBuffer, 2> buffers{WaveBuffer{bytes.data(), 1}, WaveBuffer{bytes.data(), 481}};
    for (WaveBuffer& b : buffers) {
        ASSERT_EQ(out->Prepare(&b), kWaveOk);
        ASSERT_EQ(out->Write(&b), kWaveOk);
    }
    EXPECT_TRUE(WaitForReturns(2));
    EXPECT_EQ(out->Close(), kWaveOk);
}

TEST(AlsaMissingDevice, OpenFailsAndTheDeviceRefusesEverythingAfter) {
    const std::string dir = ::testing::TempDir() + "alsa_wave_missing" + std::to_string(getpid());
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    ASSERT_EQ(system(("mkdir -p '" + dir + "/alsa'").c_str()), 0);
    std::ofstream(dir + "/alsa/asoundrc") << "pcm.!default { type hw card 99 }\n";
    snd_config_update_free_global();
    auto in = PlatformWaveDeviceFactory()->CreateWaveIn();
    EXPECT_EQ(in->Open(WaveFormat{}, nullptr, nullptr), kWaveBadDeviceId);
    std::array<uint8_t, 160> bytes{};
    WaveBuffer buffer{bytes.data(), 160};
    EXPECT_NE(in->Prepare(&buffer), kWaveOk);
    EXPECT_NE(in->AddBuffer(&buffer), kWaveOk);
    EXPECT_NE(in->Start(), kWaveOk);
    EXPECT_NE(in->Close(), kWaveOk);
    system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
