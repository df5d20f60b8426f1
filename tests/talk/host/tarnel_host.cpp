// A host that binds the voice library by name and drives it the way the
// messenger does, checking what a host can observe. Exit code 0 when all holds.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/shared_library.h"
#include "talk/tarnel.h"

namespace {

struct Api {
    decltype(&Tarnel_Ini) Ini;
    decltype(&Tarnel_Release) Release;
    decltype(&Tarnel_BeginTalk) BeginTalk;
    decltype(&Tarnel_EndTalk) EndTalk;
    decltype(&Tarnel_AddTalkDestion) AddTalkDestion;
    decltype(&Tarnel_RemoveTalkDestion) RemoveTalkDestion;
    decltype(&Tarnel_SetSpeakerVol) SetSpeakerVol;
    decltype(&Tarnel_GetSpeakerVol) GetSpeakerVol;
    decltype(&Tarnel_SetMicVol) SetMicVol;
    decltype(&Tarnel_GetMicVol) GetMicVol;
    decltype(&Tarnel_MutSpeaker) MutSpeaker;
    decltype(&Tarnel_NoMutSpeaker) NoMutSpeaker;
    decltype(&Tarnel_SetSendCallBack) SetSendCallBack;
    decltype(&Tarnel_SetRevData) SetRevData;
};

int g_failures = 0;

void Check(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++g_failures;
}

template <typename T>
bool Bind(void* library, const char* name, T& slot) {
    slot = reinterpret_cast<T>(platform::LibrarySymbol(library, name));
    if (!slot) std::printf("FAIL missing export %s\n", name);
    return slot != nullptr;
}

bool BindAll(void* lib, Api& api) {
    bool ok = true;
    ok &= Bind(lib, "Tarnel_Ini", api.Ini);
    ok &= Bind(lib, "Tarnel_Release", api.Release);
    ok &= Bind(lib, "Tarnel_BeginTalk", api.BeginTalk);
    ok &= Bind(lib, "Tarnel_EndTalk", api.EndTalk);
    ok &= Bind(lib, "Tarnel_AddTalkDestion", api.AddTalkDestion);
    ok &= Bind(lib, "Tarnel_RemoveTalkDestion", api.RemoveTalkDestion);
    ok &= Bind(lib, "Tarnel_SetSpeakerVol", api.SetSpeakerVol);
    ok &= Bind(lib, "Tarnel_GetSpeakerVol", api.GetSpeakerVol);
    ok &= Bind(lib, "Tarnel_SetMicVol", api.SetMicVol);
    ok &= Bind(lib, "Tarnel_GetMicVol", api.GetMicVol);
    ok &= Bind(lib, "Tarnel_MutSpeaker", api.MutSpeaker);
    ok &= Bind(lib, "Tarnel_NoMutSpeaker", api.NoMutSpeaker);
    ok &= Bind(lib, "Tarnel_SetSendCallBack", api.SetSendCallBack);
    ok &= Bind(lib, "Tarnel_SetRevData", api.SetRevData);
    return ok;
}

struct Sent {
    uint32_t context, ip, port;
    int32_t length, isRtcp;
    uint8_t firstBytes[2];
};
std::mutex g_sentLock;
std::vector<Sent> g_sent;

int TARNEL_CDECL OnSend(uint32_t context, uint32_t ip, uint32_t port, const uint8_t* data, int32_t length,
                        int32_t isRtcp) {
    std::lock_guard guard(g_sentLock);
    g_sent.push_back({context, ip, port, length, isRtcp, {data[0], length > 1 ? data[1] : uint8_t(0)}});
    return 0;
}

void CheckNullEngine(const Api& api) {
    const uint8_t data[12] = {0x80, 0xE2};
    Check(api.Release(nullptr) == 0, "Release(null) returns 0");
    Check(api.GetSpeakerVol(nullptr) == 0, "GetSpeakerVol(null) returns 0");
    Check(api.GetMicVol(nullptr) == 0, "GetMicVol(null) returns 0");
    Check(api.SetSendCallBack(nullptr, 1, OnSend) == nullptr, "SetSendCallBack(null) returns null");
    api.BeginTalk(nullptr, 40000);
    api.EndTalk(nullptr);
    api.AddTalkDestion(nullptr, "127.0.0.1", 40000);
    api.RemoveTalkDestion(nullptr, "127.0.0.1", 40000);
    api.SetRevData(nullptr, 0x0100007F, 40000, data, 12);
    api.SetSpeakerVol(nullptr, 10);
    api.SetMicVol(nullptr, 10);
    api.MutSpeaker(nullptr);
    api.NoMutSpeaker(nullptr);
}

// One talk; returns the seconds EndTalk took.
double RunTalk(const Api& api, TalkEngine* engine, unsigned short port) {
    const uint8_t datagram[40] = {0x80, 0xE2, 0, 1};
    api.BeginTalk(engine, port);
    api.AddTalkDestion(engine, "127.0.0.1", 41000);
    api.AddTalkDestion(engine, "127.0.0.1", 42000);
    api.RemoveTalkDestion(engine, "127.0.0.1", 42000);
    api.SetRevData(engine, 0x0100007F, 41000, datagram, 40);  // even: voice
    api.SetRevData(engine, 0x0100007F, 41001, datagram, 8);   // odd: control
    const auto start = std::chrono::steady_clock::now();
    api.EndTalk(engine);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void RunHost(const Api& api) {
    CheckNullEngine(api);
    TalkEngine* engine = api.Ini();
    Check(engine != nullptr, "Ini returns an engine");
    if (!engine) return;
    Check(api.SetSendCallBack(engine, 0, OnSend) == engine, "SetSendCallBack with context 0 returns the engine");
    Check(api.SetSendCallBack(engine, 77, OnSend) == engine, "SetSendCallBack returns the engine");
    Check(api.GetSpeakerVol(engine) == -1, "GetSpeakerVol without a mixer is -1");
    Check(api.GetMicVol(engine) == 0, "GetMicVol without a mixer is 0");
    api.EndTalk(engine);  // before any talk
    api.AddTalkDestion(engine, "127.0.0.1", 43000);  // ignored: no talk
    const double first = RunTalk(api, engine, 40000);
    Check(first < 4.0, "EndTalk returns within the device waits");
    RunTalk(api, engine, 40002);
    api.EndTalk(engine);
    {
        std::lock_guard guard(g_sentLock);
        bool contextsRight = true;
        for (const Sent& s : g_sent) contextsRight &= s.context == 77;
        Check(contextsRight, "every packet carries the registered context");
        bool noneToIgnored = true;
        for (const Sent& s : g_sent) noneToIgnored &= s.port != 43000 && s.port != 43001;
        Check(noneToIgnored, "a destination added outside a talk gets nothing");
    }
    Check(api.Release(engine) == 1, "Release returns 1");
}

}  // namespace

int main(int argc, char** argv) {
    const char* name = argc > 1 ? argv[1] : "Tarnel.dll";
    void* library = platform::LoadLibraryByName(name);
    if (!library) {
        std::printf("FAIL cannot load %s\n", name);
        return 2;
    }
    Api api{};
    if (!BindAll(library, api)) return 2;
    RunHost(api);
    platform::UnloadLibrary(library);
    std::printf("%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
