#include "audio/wave_device_factory.h"

#include <gtest/gtest.h>

#include "tests/support/sleepers.h"
#include "tests/support/wave_fakes.h"

namespace {

TEST(WaveDeviceFactory, TheProcessWideFactoryCanBeReplacedAndRestored) {
    const auto platform = GetWaveDeviceFactory();
    ASSERT_TRUE(platform);
    auto manual = std::make_shared<ManualWaveFactory>();
    SetWaveDeviceFactory(manual);
    EXPECT_EQ(GetWaveDeviceFactory(), manual);
    GetWaveDeviceFactory()->CreateWaveIn();
    EXPECT_EQ(manual->created, 1);
    SetWaveDeviceFactory(nullptr);
    const auto restored = GetWaveDeviceFactory();
    EXPECT_NE(restored, manual);
    EXPECT_TRUE(restored);
}

TEST(WaveDeviceFactory, CombinedFactoryTakesEachDirectionFromItsOwnBackend) {
    auto capture = std::make_shared<ManualWaveFactory>();
    auto playback = std::make_shared<ManualWaveFactory>();
    auto combined = CombineWaveDeviceFactories(capture, playback);
    combined->CreateWaveIn();
    combined->CreateWaveIn();
    combined->CreateWaveOut();
    EXPECT_EQ(capture->created, 2);
    EXPECT_EQ(playback->created, 1);
}

}  // namespace
