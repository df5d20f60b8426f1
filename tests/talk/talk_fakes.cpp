#include "talk_fakes.h"

#include <algorithm>
#include <chrono>

void EventLog::Add(std::string event) {
    std::lock_guard guard(mutex_);
    events_.push_back(std::move(event));
}

std::vector<std::string> EventLog::Events() const {
    std::lock_guard guard(mutex_);
    return events_;
}

size_t EventLog::Count(const std::string& event) const {
    std::lock_guard guard(mutex_);
    return size_t(std::count(events_.begin(), events_.end(), event));
}

void EventLog::Clear() {
    std::lock_guard guard(mutex_);
    events_.clear();
}

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

RecordingSession::RecordingSession(EventLog& log, TalkSessionSetup setupIn)
    : setup(std::move(setupIn)), log_(log) {
    log_.Add("session create " + std::to_string(setup.port));
}

RecordingSession::~RecordingSession() { log_.Add("session destroy"); }

void RecordingSession::AddDestination(const char* ip, uint16_t port) {
    log_.Add(std::string("add ") + ip + ":" + std::to_string(port));
}

void RecordingSession::RemoveDestination(const char* ip, uint16_t port) {
    log_.Add(std::string("remove ") + ip + ":" + std::to_string(port));
}

void RecordingSession::SendVoice(const uint8_t* block, int32_t length) {
    voice.emplace_back(block, block + length);
    log_.Add("voice");
}

void RecordingSession::SendBye() {
    log_.Add("bye");
    const uint8_t bye[4] = {0x81, 203, 0, 1};
    setup.send(0x0100007F, 40001, bye, 4, true);
}

void RecordingSession::OnRtp(uint32_t, uint16_t port, const uint8_t*, int32_t length) {
    log_.Add("rtp " + std::to_string(port) + " " + std::to_string(length));
}

void RecordingSession::OnRtcp(uint32_t, uint16_t port, const uint8_t*, int32_t length) {
    log_.Add("rtcp " + std::to_string(port) + " " + std::to_string(length));
}

FakeServices::FakeServices() = default;

TalkEngineServices FakeServices::Make() {
    TalkEngineServices services;
    services.sleeper = &sleeper;
    services.makeTimer = [this] {
        auto timerOwned = std::make_unique<ManualTimer>(log);
        timer = timerOwned.get();
        return timerOwned;
    };
    services.makeAudio = [this] { return std::make_unique<RecordingAudio>(log); };
    services.makeMixer = [] { return std::make_unique<NoMixer>(); };
    services.makeSession = [this](TalkSessionSetup setup) {
        auto sessionOwned = std::make_unique<RecordingSession>(log, std::move(setup));
        session = sessionOwned.get();
        return sessionOwned;
    };
    return services;
}
