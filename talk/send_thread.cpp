#include <cstring>

#include "platform/thread_name.h"
#include "talk/talk_engine.h"

namespace {

// The timer ticks every 5 ms; the wait is bounded so a stop is seen even if it never does.
constexpr uint32_t kTickWaitMs = 100;

}  // namespace

void TalkEngine::SendThread() {
    platform::NameThisThread("tarnel-send");
    int ticks = 0;
    for (;;) {
        while (!timer_->Wait(kTickWaitMs)) {
            if (stop_) return;
        }
        if (stop_) return;
        SendNextBlock();
        if (++ticks >= kTicksPerReport) {
            session_->SendSenderReport();
            session_->SendReceiverReport();
            ticks = 0;
        }
    }
}

void TalkEngine::SendNextBlock() {
    if (!sendBuffer_ || !sendScratch_ || !captureReader_ || !capturing_) return;
    const uint8_t* block = captureQueue_->ReadNext(captureReader_);
    if (!block) return;
    const size_t size = FrameBlockSize(block);
    if (size > size_t(kSendBufferSize)) return;
    std::memcpy(sendScratch_.get(), block, size);
    std::memcpy(sendBuffer_.get(), sendScratch_.get(), size);
    session_->SendVoice(std::span(sendBuffer_.get(), size));
}
