#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "audio/wave_device_factory.h"

namespace {

std::atomic<int> dataMessages{0};

void Count(uint32_t message, void*, WaveBuffer* buffer) {
    if (message == kWimData && buffer) ++dataMessages;
}

// Without a sound device the wave mapper refuses to open and every later call
// fails cleanly; with one, recording returns the buffers.
TEST(WinmmWaveIn, OpensTheWaveMapperOrFailsCleanly) {
    auto in = PlatformWaveDeviceFactory()->CreateWaveIn();
    const uint32_t opened = in->Open(WaveFormat{}, &Count, nullptr);
    RecordProperty("open_result", int(opened));
    std::array<std::array<uint8_t, 160>, 4> bytes{};
    std::array<WaveBuffer, 4> buffers{};
    for (size_t i = 0; i < buffers.size(); ++i) buffers[i] = WaveBuffer{bytes[i].data(), 160};
    if (opened != kWaveOk) {
        EXPECT_EQ(opened, kWaveBadDeviceId);
        EXPECT_NE(in->Prepare(&buffers[0]), kWaveOk);
        EXPECT_NE(in->AddBuffer(&buffers[0]), kWaveOk);
        EXPECT_NE(in->Start(), kWaveOk);
        EXPECT_NE(in->Close(), kWaveOk);
        EXPECT_EQ(dataMessages, 0);
        return;
    }
    for (WaveBuffer& b : buffers) {
        ASSERT_EQ(in->Prepare(&b), kWaveOk);
        ASSERT_EQ(in->AddBuffer(&b), kWaveOk);
    }
    ASSERT_EQ(in->Start(), kWaveOk);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (dataMessages < 4 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(in->Reset(), kWaveOk);
    EXPECT_EQ(in->Close(), kWaveOk);
    EXPECT_GE(dataMessages, 4);
    EXPECT_EQ(buffers[0].bytesRecorded, 160u);
}

TEST(WinmmWaveOut, OpensTheWaveMapperOrFailsCleanly) {
    auto out = PlatformWaveDeviceFactory()->CreateWaveOut();
    const uint32_t opened = out->Open(WaveFormat{}, nullptr, nullptr);
    RecordProperty("open_result", int(opened));
    std::array<uint8_t, 480> bytes{};
    WaveBuffer buffer{bytes.data(), 480};
    if (opened != kWaveOk) {
        EXPECT_EQ(opened, kWaveBadDeviceId);
        EXPECT_NE(out->Prepare(&buffer), kWaveOk);
        EXPECT_NE(out->Write(&buffer), kWaveOk);
        EXPECT_NE(out->Close(), kWaveOk);
        return;
    }
    ASSERT_EQ(out->Prepare(&buffer), kWaveOk);
    EXPECT_TRUE(buffer.flags & kWaveBufferPrepared);
    ASSERT_EQ(out->Write(&buffer), kWaveOk);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(buffer.flags & kWaveBufferDone);
    EXPECT_EQ(out->Unprepare(&buffer), kWaveOk);
    EXPECT_EQ(out->Close(), kWaveOk);
}

}  // namespace
