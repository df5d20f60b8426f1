#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "talk_fakes.h"

namespace {

using Events = std::vector<std::string>;

struct HostPacket {
    uint32_t context, ip, port;
    std::vector<uint8_t> data;
    int32_t isRtcp;
};
std::vector<HostPacket> g_packets;
std::vector<std::string> g_callbackNames;

int CallbackA(uint32_t context, uint32_t ip, uint32_t port, const uint8_t* data, int32_t length, int32_t isRtcp) {
    g_callbackNames.push_back("A");
    g_packets.push_back({context, ip, port, {data, data + length}, isRtcp});
    return 0;
}

int CallbackB(uint32_t, uint32_t, uint32_t, const uint8_t*, int32_t, int32_t) {
    g_callbackNames.push_back("B");
    return 0;
}

// The engine is observed through its services: the devices get its queues, the
// session what it sends and receives, the timer and sleeper its timing.
class TalkEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_packets.clear();
        g_callbackNames.clear();
    }

    // Events logged by `action`, with the log emptied first.
    template <typename F>
    Events EventsOf(F&& action) {
        fakes.log.Clear();
        action();
        return fakes.log.Events();
    }

    // A block as the microphone leaves it in the capture queue.
    void PushCaptureBlock(uint32_t dataLength, uint32_t stamp) {
        std::vector<uint8_t> data(dataLength, uint8_t(stamp));
        ASSERT_NE(fakes.audio->captureQueue->PushFrame(data.data(), dataLength, stamp), nullptr);
    }

    FakeServices fakes;
    TalkEngine engine{fakes.Make()};
};

TEST_F(TalkEngineTest, BeginTalkStartsDevicesSessionAndTimerInOrder) {
    EXPECT_TRUE(engine.Idle());
    const Events events = EventsOf([&] { engine.BeginTalk(40000); });
    EXPECT_EQ(events, (Events{"capture start", "playback start", "session begin 40000", "timer start 5/5"}));
    EXPECT_FALSE(engine.Idle());
    PushCaptureBlock(10, 40);  // the sender thread reads the capture queue from now on
    fakes.timer->Tick();
    EXPECT_EQ(fakes.session->voice.size(), 1u);
    engine.EndTalk();
}

// The session's received voice (cleared by the session itself at each begin and end) is what the speaker plays.
TEST_F(TalkEngineTest, BeginTalkClearsTheCaptureQueueAndPlaysTheSessionsVoice) {
    engine.BeginTalk(40000);
    engine.EndTalk();
    CBufferMonitor& capture = *fakes.audio->captureQueue;
    PushCaptureBlock(10, 1);
    engine.BeginTalk(40000);
    EXPECT_EQ(capture.BlockCount(), 0u);
    std::array<int16_t, PlaybackFeed::kSamples> samples{};
    EXPECT_FALSE(fakes.audio->playbackFeed->Fill(samples));
    for (uint16_t seq = 0; seq < 3; ++seq) fakes.received->Take(0x55, seq, rtp::VoiceFrame{});
    EXPECT_TRUE(fakes.audio->playbackFeed->Fill(samples));
    engine.EndTalk();
}

TEST_F(TalkEngineTest, EndTalkStopsSenderThenSaysByeThenStopsDevices) {
    engine.SetSendCallback(7, CallbackA);
    engine.BeginTalk(40000);
    const Events events = EventsOf([&] { engine.EndTalk(); });
    EXPECT_EQ(events, (Events{"sleep 100", "timer cancel", "session end", "playback stop", "capture stop"}));
    EXPECT_TRUE(engine.Idle());
    EXPECT_FALSE(fakes.timer->HasWaiter());  // the sender thread has left
    ASSERT_EQ(g_packets.size(), 1u);  // the BYE reached the host, flagged as RTCP
    EXPECT_EQ(g_packets[0].context, 7u);
    EXPECT_EQ(g_packets[0].isRtcp, 1);
}

TEST_F(TalkEngineTest, EndTalkWithoutTalkOnlyWaitsAndLeavesEngineIdle) {
    engine.SetSendCallback(7, CallbackA);
    const Events first = EventsOf([&] { engine.EndTalk(); });
    EXPECT_EQ(first, (Events{"sleep 100", "timer cancel", "session end"}));
    engine.BeginTalk(40000);
    engine.EndTalk();
    const Events again = EventsOf([&] { engine.EndTalk(); });
    EXPECT_EQ(again, (Events{"sleep 100", "timer cancel", "session end"}));
    EXPECT_TRUE(engine.Idle());
    EXPECT_EQ(g_packets.size(), 1u);  // the goodbye of the one talk
}

TEST_F(TalkEngineTest, BeginTalkWhileTalkingIsRejected) {
    engine.BeginTalk(40000);
    const Events events = EventsOf([&] { engine.BeginTalk(50000); });
    EXPECT_TRUE(events.empty());
    engine.EndTalk();
    EXPECT_EQ(fakes.log.Count("session end"), 1u);
}

TEST_F(TalkEngineTest, TalksCanFollowOneAnotherWithoutLosingReaderSlots) {
    for (int talk = 0; talk < 10; ++talk) {
        engine.BeginTalk(uint16_t(40000 + 2 * talk));
        PushCaptureBlock(10, uint32_t(talk));
        fakes.timer->Tick();
        ASSERT_EQ(fakes.session->voice.size(), size_t(talk + 1)) << "talk " << talk;
        engine.EndTalk();
    }
}

TEST_F(TalkEngineTest, DestinationsGoToTheSession) {
    engine.BeginTalk(40000);
    const Events events = EventsOf([&] {
        engine.AddDestination("10.0.0.2", 5002);
        engine.AddDestination(nullptr, 5004);
        engine.RemoveDestination("10.0.0.2", 5002);
    });
    EXPECT_EQ(events, (Events{"add 10.0.0.2:5002", "add null:5004", "remove 10.0.0.2:5002"}));
    engine.EndTalk();
}

TEST_F(TalkEngineTest, DatagramsGoToRtpOnEvenPortsAndRtcpOnOdd) {
    const uint8_t data[12] = {0x80};
    engine.BeginTalk(40000);
    const Events events = EventsOf([&] {
        engine.ReceiveDatagram(0x0100007F, 40000, data, 12);
        engine.ReceiveDatagram(0x0100007F, 40001, data, 8);
        engine.ReceiveDatagram(0x0100007F, 0x9C41, data, 4);  // 40001 in network order is even
        engine.ReceiveDatagram(0x0100007F, 40000, nullptr, 12);
        engine.ReceiveDatagram(0x0100007F, 40000, data, 0);
        engine.ReceiveDatagram(0x0100007F, 40000, data, -5);
    });
    EXPECT_EQ(events, (Events{"rtp 40000 12", "rtcp 40001 8", "rtcp 40001 4"}));
    engine.EndTalk();
}

TEST_F(TalkEngineTest, EachTickSendsAtMostOneQueuedBlock) {
    engine.BeginTalk(40000);
    PushCaptureBlock(10, 40);
    PushCaptureBlock(10, 80);
    PushCaptureBlock(10, 120);
    for (int i = 0; i < 2; ++i) fakes.timer->Tick();
    EXPECT_EQ(fakes.log.Count("voice"), 2u);
    for (int i = 0; i < 3; ++i) fakes.timer->Tick();
    engine.EndTalk();
    ASSERT_EQ(fakes.log.Count("voice"), 3u);
}

TEST_F(TalkEngineTest, SentBlockIsTheQueuedBlockAndOversizedBlocksAreSkipped) {
    engine.BeginTalk(40000);
    RecordingSession* session = fakes.session;
    PushCaptureBlock(1009, 1);  // 1025 bytes with its header: too big to send
    PushCaptureBlock(1008, 2);  // exactly 1024
    for (int i = 0; i < 2; ++i) fakes.timer->Tick();
    ASSERT_EQ(session->voice.size(), 1u);
    const std::vector<uint8_t>& sent = session->voice[0];
    ASSERT_EQ(sent.size(), 1024u);
    EXPECT_EQ(std::memcmp(sent.data(), "ZIRO_0", 6), 0);
    EXPECT_EQ(ReadFrameBlockHeader(sent.data()).timeStamp, 2u);
    EXPECT_EQ(sent[16], 2);
    engine.EndTalk();
}

TEST_F(TalkEngineTest, ReportsGoOutAfterEvery1001Ticks) {
    engine.BeginTalk(40000);
    for (int i = 0; i < 1000; ++i) fakes.timer->Tick();
    EXPECT_EQ(fakes.log.Count("report SR"), 0u);
    fakes.timer->Tick();
    EXPECT_EQ(fakes.log.Count("report SR"), 1u);
    const Events events = fakes.log.Events();
    EXPECT_EQ(events[events.size() - 2], "report SR");
    EXPECT_EQ(events.back(), "report RR");
    for (int i = 0; i < 1001; ++i) fakes.timer->Tick();
    EXPECT_EQ(fakes.log.Count("report RR"), 2u);
    engine.EndTalk();
}

TEST_F(TalkEngineTest, CallbackNeedsContextAndFunctionToReplaceTheRegisteredOne) {
    engine.SetSendCallback(7, CallbackA);
    engine.SetSendCallback(0, CallbackB);
    engine.SetSendCallback(8, nullptr);
    engine.BeginTalk(40000);
    engine.EndTalk();
    EXPECT_EQ(g_callbackNames, (std::vector<std::string>{"A"}));
    EXPECT_EQ(g_packets[0].context, 7u);

    engine.SetSendCallback(9, CallbackB);
    engine.BeginTalk(40000);
    engine.EndTalk();
    EXPECT_EQ(g_callbackNames, (std::vector<std::string>{"A", "B"}));
}

TEST_F(TalkEngineTest, WithoutCallbackPacketsAreDropped) {
    engine.BeginTalk(40000);
    engine.EndTalk();
    EXPECT_EQ(fakes.log.Count("session end"), 1u);
    EXPECT_TRUE(g_packets.empty());
}

}  // namespace
