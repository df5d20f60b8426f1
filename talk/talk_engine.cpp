#include "talk/talk_engine.h"

#include "platform/socket_library.h"

TalkEngine::TalkEngine(TalkEngineServices services) : services_(std::move(services)) {
    audio_ = services_.makeAudio();
    mixer_ = services_.makeMixer();
    captureQueue_ = std::make_unique<CBufferMonitor>();
    received_ = std::make_unique<rtp::ReceiveStreams>();
    playbackMix_ = std::make_unique<SourceMixer>(*received_);
    PrepareMixer();
    platform::StartSocketLibrary();
    session_ = services_.makeSession(
        [this](uint32_t ip, uint16_t port, std::span<const uint8_t> packet, bool isRtcp) {
            SendToHost(ip, port, packet, isRtcp);
        },
        *received_);
    timer_ = services_.makeTimer();
    platform::RequestFineTimerResolution();
}

TalkEngine::~TalkEngine() {
    if (playing_) audio_->StopPlayback();
    if (capturing_) audio_->StopCapture();
    StopSendThread();
}

void TalkEngine::PrepareMixer() {
    mixer_->SelectMicrophoneAsRecordSource();
    mixer_->SetMicVolume(100);
    mixer_->SetSpeakerVolume(100);
    mixer_->MuteFirstMicrophoneLine();
    mixer_->SetSpeakerMute(false);
}

void TalkEngine::BeginTalk(uint16_t port) {
    if (!idle_) return;  // one talk at a time
    captureQueue_->ClearQueue();
    audio_->StartCapture(captureQueue_.get());
    capturing_ = true;
    audio_->StartPlayback(playbackMix_.get());
    playing_ = true;
    captureReader_ = captureQueue_->OpenReader();
    sendScratch_ = std::make_unique<uint8_t[]>(kSendBufferSize);
    session_->Begin(port);  // with no received voice waiting
    sendBuffer_ = std::make_unique<uint8_t[]>(kSendBufferSize);
    stop_ = false;
    sendThread_ = std::thread(&TalkEngine::SendThread, this);
    idle_ = false;
    timer_->Start(kTickMs, kTickMs);
}

void TalkEngine::StopSendThread() {
    stop_ = true;
    if (sendThread_.joinable()) sendThread_.join();
}

void TalkEngine::EndTalk() {
    stop_ = true;
    services_.sleeper->SleepMs(kSenderStopWaitMs);
    StopSendThread();  // the sleep is not proof that the thread has left
    timer_->Cancel();
    session_->End();  // received voice not yet played goes with it
    if (captureReader_) captureQueue_->CloseReader(captureReader_);
    captureReader_ = nullptr;
    sendScratch_.reset();
    if (playing_) audio_->StopPlayback();
    playing_ = false;
    if (capturing_) audio_->StopCapture();
    capturing_ = false;
    idle_ = true;
    sendBuffer_.reset();
}

void ReleaseTalkEngine(TalkEngine* engine) {
    engine->EndTalk();
    if (!engine->Idle()) engine->EndTalk();
    platform::StopSocketLibrary();
    delete engine;
}

void TalkEngine::AddDestination(const char* ipText, uint16_t port) { session_->AddDestination(ipText, port); }

void TalkEngine::RemoveDestination(const char* ipText, uint16_t port) { session_->RemoveDestination(ipText, port); }

void TalkEngine::SetSendCallback(uint32_t context, SendCallback callback) {
    if (!context || !callback) return;
    sendContext_ = context;
    sendCallback_ = callback;
}

// Without a registered callback the packet is dropped.
void TalkEngine::SendToHost(uint32_t ip, uint16_t port, std::span<const uint8_t> packet, bool isRtcp) const {
    const SendCallback callback = sendCallback_.load();
    const uint32_t context = sendContext_.load();
    if (callback && context) callback(context, ip, port, packet.data(), int32_t(packet.size()), isRtcp ? 1 : 0);
}

// Even ports carry RTP, odd ones RTCP.
void TalkEngine::ReceiveDatagram(uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) {
    if (!data || length <= 0) return;
    const std::span<const uint8_t> datagram(data, size_t(length));
    if (port & 1)
        session_->ReceiveRtcp(ip, port, datagram);
    else
        session_->ReceiveRtp(ip, port, datagram);
}
