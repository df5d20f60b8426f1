#include "talk_fakes.h"

#include <chrono>

void ManualTimer::Start(uint32_t firstDueMs, uint32_t periodMs) {
    log_.Add("timer start " + std::to_string(firstDueMs) + "/" + std::to_string(periodMs));
}

void ManualTimer::Cancel() { log_.Add("timer cancel"); }

bool ManualTimer::Wait(uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    waiting_ = true;
    changed_.notify_all();
    const bool fired =
        changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return pending_ > 0; });
    waiting_ = false;
    if (fired) --pending_;
    changed_.notify_all();
    return fired;
}

void ManualTimer::Tick() {
    std::unique_lock lock(mutex_);
    ++pending_;
    changed_.notify_all();
    // Done when the tick was taken and the waiter is back, its work for the tick finished.
    changed_.wait_for(lock, std::chrono::seconds(5), [&] { return pending_ == 0 && waiting_; });
}

bool ManualTimer::HasWaiter() {
    std::lock_guard lock(mutex_);
    return waiting_;
}

void RecordingAudio::StartCapture(CBufferMonitor* target) {
    captureQueue = target;
    log_.Add("capture start");
}

void RecordingAudio::StartPlayback(PlaybackFeed* feed) {
    playbackFeed = feed;
    log_.Add("playback start");
}

void RecordingSession::Begin(uint16_t port) {
    talking_ = true;
    log_.Add("session begin " + std::to_string(port));
}

void RecordingSession::End() {
    log_.Add("session end");
    if (!talking_) return;
    talking_ = false;
    const uint8_t bye[8] = {0x81, 203, 0, 1};
    send_(0x0100007F, 40001, bye, true);
}

void RecordingSession::AddDestination(const char* ip, uint16_t port) {
    log_.Add(std::string("add ") + (ip ? ip : "null") + ":" + std::to_string(port));
}

void RecordingSession::RemoveDestination(const char* ip, uint16_t port) {
    log_.Add(std::string("remove ") + (ip ? ip : "null") + ":" + std::to_string(port));
}

void RecordingSession::SendVoice(std::span<const uint8_t> block) {
    voice.emplace_back(block.begin(), block.end());
    log_.Add("voice");
}

void RecordingSession::ReceiveRtp(uint32_t, uint16_t port, std::span<const uint8_t> datagram) {
    log_.Add("rtp " + std::to_string(port) + " " + std::to_string(datagram.size()));
}

void RecordingSession::ReceiveRtcp(uint32_t, uint16_t port, std::span<const uint8_t> datagram) {
    log_.Add("rtcp " + std::to_string(port) + " " + std::to_string(datagram.size()));
}

TalkEngineServices FakeServices::Make() {
    TalkEngineServices services;
    services.sleeper = &sleeper;
    services.makeTimer = [this] {
        auto timerOwned = std::make_unique<ManualTimer>(log);
        timer = timerOwned.get();
        return timerOwned;
    };
    services.makeAudio = [this] {
        auto audioOwned = std::make_unique<RecordingAudio>(log);
        audio = audioOwned.get();
        return audioOwned;
    };
    services.makeMixer = [] { return std::make_unique<NoMixer>(); };
    services.makeSession = [this](PacketSender send, rtp::ReceiveStreams& streams) {
        auto sessionOwned = std::make_unique<RecordingSession>(log, std::move(send));
        received = &streams;
        session = sessionOwned.get();
        return sessionOwned;
    };
    return services;
}
