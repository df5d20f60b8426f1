#include "audio/virtual/virtual_wave_devices.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

std::vector<uint8_t> Ramp(size_t bytes) {
    std::vector<uint8_t> pcm(bytes);
    for (size_t i = 0; i < bytes; ++i) pcm[i] = uint8_t(i * 7 + 1);
    return pcm;
}

// A client that keeps its buffers circulating and keeps what comes back.
template <size_t N, size_t Size>
struct Client {
    static void Proc(uint32_t message, void* instance, WaveBuffer* buffer) {
        auto* self = static_cast<Client*>(instance);
        std::lock_guard guard(self->lock);
        self->messages.push_back(message);
        if (!buffer) return;
        self->returned.push_back(buffer);
        self->threads.insert(std::this_thread::get_id());
        self->recorded.insert(self->recorded.end(), buffer->data, buffer->data + buffer->bytesRecorded);
        self->changed.notify_all();
        if (self->circulate) self->requeue(buffer);
    }
    template <class Device, class Queue>
    void Begin(Device& device, Queue queueCall) {
        requeue = [&device, queueCall](WaveBuffer* b) { (device.*queueCall)(b); };
        ASSERT_EQ(device.Open(WaveFormat{}, &Proc, this), kWaveOk);
        for (size_t i = 0; i < N; ++i) {
            buffers[i] = WaveBuffer{bytes[i].data(), Size};
            ASSERT_EQ(device.Prepare(&buffers[i]), kWaveOk);
            ASSERT_EQ((device.*queueCall)(&buffers[i]), kWaveOk);
        }
    }
    size_t Returned() {
        std::lock_guard guard(lock);
        return returned.size();
    }

    std::array<std::array<uint8_t, Size>, N> bytes{};
    std::array<WaveBuffer, N> buffers{};
    std::function<void(WaveBuffer*)> requeue;
    bool circulate = true;
    std::mutex lock;
    std::condition_variable changed;
    std::vector<uint32_t> messages;
    std::vector<WaveBuffer*> returned;
    std::set<std::thread::id> threads;
    std::vector<uint8_t> recorded;
};

struct VirtualDevicesTest : ::testing::Test {
    std::shared_ptr<WaveTestClock> clock = std::make_shared<WaveTestClock>();
};

TEST_F(VirtualDevicesTest, CaptureReturnsOneBufferPer10MsOnlyAfterStart) {
    auto factory = MakeVirtualWaveDeviceFactory({std::make_shared<PcmSource>(Ramp(1000)), nullptr, clock});
    Client<4, 160> client;
    auto in = factory->CreateWaveIn();
    client.Begin(*in, &WaveInDevice::AddBuffer);
    clock->Advance(50);
    EXPECT_EQ(client.Returned(), 0u);
    ASSERT_EQ(in->Start(), kWaveOk);
    clock->Advance(9);
    EXPECT_EQ(client.Returned(), 0u);
    clock->Advance(1);
    EXPECT_EQ(client.Returned(), 1u);
    clock->Advance(90);
    EXPECT_EQ(client.Returned(), 10u);
    EXPECT_EQ(client.returned[4], &client.buffers[0]);  // in order, round and round
    EXPECT_EQ(client.messages.front(), kWimOpen);
    EXPECT_EQ(client.messages.back(), kWimData);
}

TEST_F(VirtualDevicesTest, CaptureRecordsTheSourceThenSilence) {
    const auto pcm = Ramp(400);
    auto factory = MakeVirtualWaveDeviceFactory({std::make_shared<PcmSource>(pcm), nullptr, clock});
    Client<4, 160> client;
    auto in = factory->CreateWaveIn();
    client.Begin(*in, &WaveInDevice::AddBuffer);
    in->Start();
    clock->Advance(40);
    ASSERT_EQ(client.recorded.size(), 640u);
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), client.recorded.begin()));
    EXPECT_TRUE(std::all_of(client.recorded.begin() + 400, client.recorded.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(VirtualDevicesTest, PlaybackTakesOneBufferPer30MsIntoTheSink) {
    auto sink = std::make_shared<PcmSink>();
    auto factory = MakeVirtualWaveDeviceFactory({nullptr, sink, clock});
    Client<3, 480> client;
    auto out = factory->CreateWaveOut();
    client.circulate = false;
    for (size_t i = 0; i < 3; ++i) client.bytes[i].fill(uint8_t(i + 1));
    client.Begin(*out, &WaveOutDevice::Write);
    clock->Advance(29);
    EXPECT_EQ(sink->BytesWritten(), 0u);
    clock->Advance(1);
    EXPECT_EQ(sink->BytesWritten(), 480u);
    clock->Advance(60);
    const auto played = sink->Contents();
    ASSERT_EQ(played.size(), 1440u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(played[i * 480 + 100], uint8_t(i + 1));
    EXPECT_EQ(client.Returned(), 3u);
    EXPECT_EQ(client.messages.back(), kWomDone);
}

TEST_F(VirtualDevicesTest, PlaybackAfterAGapStartsWhenWrittenNotInThePast) {
    auto sink = std::make_shared<PcmSink>();
    Client<1, 480> client;
    auto out = MakeVirtualWaveDeviceFactory({nullptr, sink, clock})->CreateWaveOut();
    client.circulate = false;
    client.Begin(*out, &WaveOutDevice::Write);
    clock->Advance(100);
    ASSERT_EQ(client.Returned(), 1u);
    out->Write(&client.buffers[0]);
    clock->Advance(29);
    EXPECT_EQ(client.Returned(), 1u);
    clock->Advance(1);
    EXPECT_EQ(client.Returned(), 2u);
}

TEST_F(VirtualDevicesTest, ResetReturnsEveryQueuedBufferAndStopsCapture) {
    Client<4, 160> client;
    auto in = MakeVirtualWaveDeviceFactory({nullptr, nullptr, clock})->CreateWaveIn();
    client.circulate = false;
    client.Begin(*in, &WaveInDevice::AddBuffer);
    in->Start();
    clock->Advance(10);
    ASSERT_EQ(in->Reset(), kWaveOk);
    EXPECT_EQ(client.Returned(), 4u);
    for (WaveBuffer& b : client.buffers) EXPECT_TRUE(b.flags & kWaveBufferDone);
    in->AddBuffer(&client.buffers[0]);
    clock->Advance(100);
    EXPECT_EQ(client.Returned(), 4u);  // stopped until started again
    EXPECT_EQ(in->Close(), kWaveOk);
    EXPECT_EQ(client.messages.back(), kWimClose);
}

TEST_F(VirtualDevicesTest, ClosedDeviceDeliversNothingAndRefusesCalls) {
    Client<2, 160> client;
    auto in = MakeVirtualWaveDeviceFactory({nullptr, nullptr, clock})->CreateWaveIn();
    client.Begin(*in, &WaveInDevice::AddBuffer);
    in->Start();
    in->Close();
    const size_t before = client.messages.size();
    clock->Advance(100);
    EXPECT_EQ(client.messages.size(), before);
    EXPECT_EQ(in->AddBuffer(&client.buffers[0]), kWaveInvalidHandle);
    EXPECT_EQ(in->Start(), kWaveInvalidHandle);
}

TEST_F(VirtualDevicesTest, OnlyEightKiloHertzMonoSixteenBitOpens) {
    auto in = MakeVirtualWaveDeviceFactory({nullptr, nullptr, clock})->CreateWaveIn();
    WaveFormat stereo;
    stereo.channels = 2;
    EXPECT_EQ(in->Open(stereo, nullptr, nullptr), kWaveBadFormat);
    WaveFormat fast;
    fast.samplesPerSec = 44100;
    EXPECT_EQ(in->Open(fast, nullptr, nullptr), kWaveBadFormat);
    EXPECT_EQ(in->Open(WaveFormat{}, nullptr, nullptr), kWaveOk);
    EXPECT_EQ(in->Open(WaveFormat{}, nullptr, nullptr), kWaveError);
}

TEST(VirtualPcmFiles, SourceReadsAFileAndSinkWritesOne) {
    const std::string stem = ::testing::TempDir() + "virtual_" +
                             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::string inPath = stem + "_in.pcm";
    const std::string outPath = stem + "_out.pcm";
    std::ofstream(inPath, std::ios::binary) << "abcdefg";  // odd: the last byte is no sample
    auto source = PcmSource::FromFile(inPath);
    ASSERT_TRUE(source);
    std::array<uint8_t, 8> read{};
    read.fill(0xEE);
    source->Read(read.data(), read.size());
    EXPECT_EQ(std::string(read.begin(), read.begin() + 6), "abcdef");
    EXPECT_EQ(read[6], 0);
    EXPECT_FALSE(PcmSource::FromFile(inPath + ".missing"));
    {
        auto sink = PcmSink::ToFile(outPath);
        ASSERT_TRUE(sink);
        sink->Write(read.data(), 6);
        std::ifstream written(outPath, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text, "abcdef");  // on disk before the sink goes
    }
    EXPECT_FALSE(PcmSink::ToFile(::testing::TempDir() + "no/such/dir/x.pcm"));
    std::remove(inPath.c_str());
    std::remove(outPath.c_str());
}

TEST(VirtualPcmFiles, HostFactoryRecordsFromTheMicFileAndRefusesMissingFiles) {
    const std::string stem = ::testing::TempDir() + "host_" +
                             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    const auto pcm = Ramp(320);
    std::ofstream(stem + "_mic.pcm", std::ios::binary).write(reinterpret_cast<const char*>(pcm.data()), pcm.size());
    EXPECT_FALSE(MakeFileOrDeviceWaveFactory(stem + "_none.pcm", ""));
    EXPECT_FALSE(MakeFileOrDeviceWaveFactory("", stem + "/no/dir.pcm"));
    auto factory = MakeFileOrDeviceWaveFactory(stem + "_mic.pcm", stem + "_speaker.pcm");
    ASSERT_TRUE(factory);
    Client<2, 160> client;
    auto in = factory->CreateWaveIn();
    client.Begin(*in, &WaveInDevice::AddBuffer);
    in->Start();
    {
        std::unique_lock lock(client.lock);
        ASSERT_TRUE(client.changed.wait_for(lock, std::chrono::seconds(5), [&] { return client.returned.size() >= 2; }));
        EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), client.recorded.begin()));
    }
    in->Reset();
    in->Close();
    std::remove((stem + "_mic.pcm").c_str());
    std::remove((stem + "_speaker.pcm").c_str());
}

TEST(VirtualRealClock, CaptureIsPacedInRealTime) {
    Client<4, 160> client;
    auto in = MakeVirtualWaveDeviceFactory({})->CreateWaveIn();
    const auto begin = std::chrono::steady_clock::now();
    client.Begin(*in, &WaveInDevice::AddBuffer);
    in->Start();
    {
        std::unique_lock lock(client.lock);
        ASSERT_TRUE(client.changed.wait_for(lock, std::chrono::seconds(5), [&] { return client.returned.size() >= 20; }));
    }
    const auto elapsed = std::chrono::steady_clock::now() - begin;
    in->Reset();
    in->Close();
    EXPECT_GE(elapsed, std::chrono::milliseconds(195));
    EXPECT_LT(elapsed, std::chrono::milliseconds(2000));
}

TEST(VirtualRealClock, PlaybackIsPacedInRealTime) {
    auto sink = std::make_shared<PcmSink>();
    Client<2, 480> client;
    auto out = MakeVirtualWaveDeviceFactory({nullptr, sink, nullptr})->CreateWaveOut();
    const auto begin = std::chrono::steady_clock::now();
    client.Begin(*out, &WaveOutDevice::Write);
    {
        std::unique_lock lock(client.lock);
        ASSERT_TRUE(client.changed.wait_for(lock, std::chrono::seconds(5), [&] { return client.returned.size() >= 6; }));
    }
    const auto elapsed = std::chrono::steady_clock::now() - begin;
    out->Reset();
    out->Close();
    EXPECT_GE(elapsed, std::chrono::milliseconds(175));
    EXPECT_LT(elapsed, std::chrono::milliseconds(2000));
    EXPECT_GE(sink->BytesWritten(), 6u * 480);
}

// Both directions of one set of devices run on one thread, so that buffers
// falling due together cost the process one wake-up.
TEST(VirtualRealClock, CaptureAndPlaybackShareOneThread) {
    Client<4, 160> capture;
    Client<2, 480> playback;
    const auto devices = MakeVirtualWaveDeviceFactory({});
    auto in = devices->CreateWaveIn();
    auto out = devices->CreateWaveOut();
    capture.Begin(*in, &WaveInDevice::AddBuffer);
    in->Start();
    playback.Begin(*out, &WaveOutDevice::Write);
    {
        std::unique_lock lock(playback.lock);
        ASSERT_TRUE(playback.changed.wait_for(lock, std::chrono::seconds(5), [&] { return playback.returned.size() >= 3; }));
    }
    const auto Threads = [](auto& client) {  // before a reset returns buffers on this thread
        std::lock_guard guard(client.lock);
        return client.threads;
    };
    const auto playbackThreads = Threads(playback);
    const auto captureThreads = Threads(capture);
    in->Reset();
    out->Reset();
    in->Close();
    out->Close();
    ASSERT_EQ(captureThreads.size(), 1u);
    EXPECT_EQ(playbackThreads, captureThreads);
}

}  // namespace
