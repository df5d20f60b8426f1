#include <cstring>

#include "talk/talk_engine.h"

namespace {

// The timer ticks every 5 ms; the wait is bounded so a stop is seen even if it never does.
constexpr uint32_t kTickWaitMs = 100;

void SendNextBlock(TalkEngine& engine) {
    if (!engine.sendBuffer || !engine.sendScratch || !engine.captureReader || !engine.capturing) return;
    const uint8_t* block = engine.captureQueue->ReadNext(engine.captureReader);
    if (!block) return;
    const size_t size = FrameBlockSize(block);
    if (size > size_t(TalkEngine::kSendBufferSize)) return;
    std::memcpy(engine.sendScratch.get(), block, size);
    std::memcpy(engine.sendBuffer.get(), engine.sendScratch.get(), size);
    std::lock_guard guard(engine.session.stateLock);
    if (engine.session.state) engine.session.state->SendVoice(engine.sendBuffer.get(), int32_t(size));
}

void SendReports(TalkEngine& engine) {
    std::lock_guard guard(engine.session.stateLock);
    if (engine.session.state) engine.session.state->SendSenderReport();
    if (engine.session.state) engine.session.state->SendReceiverReport();
}

}  // namespace

void SendThread(TalkEngine* engine) {
    int ticks = 0;
    for (;;) {
        while (!engine->timer->Wait(kTickWaitMs)) {
            if (engine->stop) return;
        }
        if (engine->stop) return;
        SendNextBlock(*engine);
        if (++ticks >= TalkEngine::kTicksPerReport) {
            SendReports(*engine);
            ticks = 0;
        }
    }
}
