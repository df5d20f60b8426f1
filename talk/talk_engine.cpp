#include "talk/talk_engine.h"

#include "platform/socket_library.h"
#include "talk/rtp/playback_assembly.h"

namespace {

void OnRtpDatagram(void* context, uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) {
    auto* session = static_cast<RtpSession*>(context);
    std::lock_guard guard(session->stateLock);
    if (session->state) session->state->OnRtp(ip, port, data, length);
}

void OnRtcpDatagram(void* context, uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) {
    auto* session = static_cast<RtpSession*>(context);
    std::lock_guard guard(session->stateLock);
    if (session->state) session->state->OnRtcp(ip, port, data, length);
}

}  // namespace

void SendThroughHost(RtpSession& session, uint32_t ip, uint32_t port, const uint8_t* data,
                     int32_t length, bool isRtcp) {
    const SendCallback callback = session.sendCallback.load();
    const uint32_t context = session.sendContext.load();
    if (callback && context) callback(context, ip, port, data, length, isRtcp ? 1 : 0);
}

TalkEngine::TalkEngine(TalkEngineServices servicesIn) : services(std::move(servicesIn)) {
    audio = services.makeAudio();
    mixer = services.makeMixer();
    captureQueue = std::make_unique<CBufferMonitor>();
    playbackQueue = std::make_unique<CBufferMonitor>();
    playbackQueue->SetMaxReaderLag(4);
    PrepareMixer();
    platform::StartSocketLibrary();
    timer = services.makeTimer();
    platform::RequestFineTimerResolution();
}

TalkEngine::~TalkEngine() {
    if (playing) audio->StopPlayback();
    if (capturing) audio->StopCapture();
    StopSendThread();
}

void TalkEngine::PrepareMixer() {
    mixer->SelectMicrophoneAsRecordSource();
    mixer->SetMicVolume(100);
    mixer->SetSpeakerVolume(100);
    mixer->MuteFirstMicrophoneLine();
    mixer->SetSpeakerMute(false);
}

void TalkEngine::BeginTalk(uint16_t port) {
    if (!idle) return;  // one talk at a time
    captureQueue->ClearQueue();
    audio->StartCapture(captureQueue.get());
    capturing = true;
    audio->StartPlayback(playbackQueue.get());
    playing = true;
    captureReader = captureQueue->OpenReader();
    sendScratch = std::make_unique<uint8_t[]>(kSendBufferSize);
    if (!assemblyBuffer) assemblyBuffer = std::make_unique<uint8_t[]>(rtp::kAssemblyBufferSize);
    assembledCount = 0;
    playbackQueue->ClearQueue();
    CreateSessionState(port);
    sendBuffer = std::make_unique<uint8_t[]>(kSendBufferSize);
    stop = false;
    sendThread = std::thread(SendThread, this);
    idle = false;
    timer->Start(kTickMs, kTickMs);
}

void TalkEngine::CreateSessionState(uint16_t port) {
    TalkSessionSetup setup;
    setup.port = port;
    setup.send = [this](uint32_t ip, uint32_t destPort, const uint8_t* data, int32_t length, bool isRtcp) {
        SendThroughHost(session, ip, destPort, data, length, isRtcp);
    };
    setup.deliverVoice = [this](const uint8_t* payload, int32_t length) { ReceiveVoice(payload, length); };
    std::lock_guard guard(session.stateLock);
    session.state = services.makeSession(std::move(setup));
    session.rtpHandler = OnRtpDatagram;
    session.rtcpHandler = OnRtcpDatagram;
    session.rtpContext = &session;
    session.rtcpContext = &session;
}

void TalkEngine::ReceiveVoice(const uint8_t* payload, int32_t length) {
    if (!playing || !assemblyBuffer || length <= 0) return;
    rtp::AppendToAssembly(std::span<uint8_t, rtp::kAssemblyBufferSize>(assemblyBuffer.get(), rtp::kAssemblyBufferSize),
                          assembledCount, *playbackQueue, payload, size_t(length));
}

void TalkEngine::StopSendThread() {
    stop = true;
    if (sendThread.joinable()) sendThread.join();
}

void TalkEngine::EndTalk() {
    stop = true;
    services.sleeper->SleepMs(kSenderStopWaitMs);
    StopSendThread();  // the sleep is not proof that the thread has left
    timer->Cancel();
    {
        std::lock_guard guard(session.stateLock);
        if (session.state) {
            session.state->SendBye();
            session.state.reset();
        }
    }
    assemblyBuffer.reset();
    assembledCount = 0;
    playbackQueue->ClearQueue();
    if (captureReader) captureQueue->CloseReader(captureReader);
    captureReader = nullptr;
    sendScratch.reset();
    if (playing) audio->StopPlayback();
    playing = false;
    if (capturing) audio->StopCapture();
    capturing = false;
    idle = true;
    sendBuffer.reset();
}

void ReleaseTalkEngine(TalkEngine* engine) {
    engine->EndTalk();
    if (!engine->Idle()) engine->EndTalk();
    platform::StopSocketLibrary();
    delete engine;
}

void TalkEngine::AddDestination(const char* ipText, uint16_t port) {
    std::lock_guard guard(session.stateLock);
    if (session.state && ipText) session.state->AddDestination(ipText, port);
}

void TalkEngine::RemoveDestination(const char* ipText, uint16_t port) {
    std::lock_guard guard(session.stateLock);
    if (session.state && ipText) session.state->RemoveDestination(ipText, port);
}

void TalkEngine::SetSendCallback(uint32_t context, SendCallback callback) {
    if (!context || !callback) return;
    session.sendContext = context;
    session.sendCallback = callback;
}

void TalkEngine::ReceiveDatagram(uint32_t ip, uint16_t port, const uint8_t* data, int32_t length) {
    if (!data || length <= 0) return;
    const bool rtp = (port & 1) == 0;
    const DatagramHandler handler = rtp ? session.rtpHandler : session.rtcpHandler;
    void* const context = rtp ? session.rtpContext : session.rtcpContext;
    if (handler && context) handler(context, ip, port, data, length);
}
