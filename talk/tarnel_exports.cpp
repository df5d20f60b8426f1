// The library's C entry points: null checks and translation to the engine.

#include "common/export_guard.h"
#include "talk/talk_engine.h"
#include "talk/tarnel.h"

using common::Guarded;

extern "C" {

TalkEngine* TARNEL_CDECL Tarnel_Ini(void) {
    return common::GuardedOr<TalkEngine*>(nullptr, [] { return new TalkEngine(DefaultTalkEngineServices()); });
}

int32_t TARNEL_CDECL Tarnel_Release(TalkEngine* engine) {
    if (!engine) return 0;
    Guarded([&] { ReleaseTalkEngine(engine); });
    return 1;
}

void TARNEL_CDECL Tarnel_BeginTalk(TalkEngine* engine, unsigned short port) {
    if (engine) Guarded([&] { engine->BeginTalk(port); });
}

void TARNEL_CDECL Tarnel_EndTalk(TalkEngine* engine) {
    if (engine) Guarded([&] { engine->EndTalk(); });
}

void TARNEL_CDECL Tarnel_AddTalkDestion(TalkEngine* engine, const char* ip, unsigned short port) {
    if (engine) Guarded([&] { engine->AddDestination(ip, port); });
}

void TARNEL_CDECL Tarnel_RemoveTalkDestion(TalkEngine* engine, const char* ip, unsigned short port) {
    if (engine) Guarded([&] { engine->RemoveDestination(ip, port); });
}

void TARNEL_CDECL Tarnel_SetSpeakerVol(TalkEngine* engine, int32_t percent) {
    if (engine) engine->Mixer().SetSpeakerVolume(percent);
}

int32_t TARNEL_CDECL Tarnel_GetSpeakerVol(TalkEngine* engine) {
    return engine ? engine->Mixer().GetSpeakerVolume() : 0;
}

void TARNEL_CDECL Tarnel_SetMicVol(TalkEngine* engine, int32_t percent) {
    if (engine) engine->Mixer().SetMicVolume(percent);
}

int32_t TARNEL_CDECL Tarnel_GetMicVol(TalkEngine* engine) {
    return engine ? engine->Mixer().GetMicVolume() : 0;
}

void TARNEL_CDECL Tarnel_MutSpeaker(TalkEngine* engine) {
    if (engine) engine->Mixer().SetSpeakerMute(true);
}

void TARNEL_CDECL Tarnel_NoMutSpeaker(TalkEngine* engine) {
    if (engine) engine->Mixer().SetSpeakerMute(false);
}

TalkEngine* TARNEL_CDECL Tarnel_SetSendCallBack(TalkEngine* engine, uint32_t context, SendCallback callback) {
    if (engine) engine->SetSendCallback(context, callback);
    return engine;
}

void TARNEL_CDECL Tarnel_SetRevData(TalkEngine* engine, uint32_t ip, unsigned short port, const uint8_t* data,
                                    int32_t length) {
    if (engine) Guarded([&] { engine->ReceiveDatagram(ip, port, data, length); });
}

}  // extern "C"
