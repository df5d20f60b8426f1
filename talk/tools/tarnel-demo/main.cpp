// A minimal host: one engine, the sound card's volumes, a callback, a short
// talk with two destinations and a few datagrams handed in; prints every
// packet the engine gave the host.
#include <chrono>
#include <cstdio>
#include <thread>

#include "talk/tarnel.h"

namespace {

const char* Address(uint32_t ipNetworkOrder, char* text, size_t size) {
    const auto* b = reinterpret_cast<const uint8_t*>(&ipNetworkOrder);
    std::snprintf(text, size, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return text;
}

int TARNEL_CDECL PrintPacket(uint32_t context, uint32_t ip, uint32_t port, const uint8_t* data, int32_t length,
                             int32_t isRtcp) {
    char text[16];
    std::printf("[host %u] %s packet, %d bytes -> %s:%u:", context, isRtcp ? "RTCP" : "RTP ", length,
                Address(ip, text, sizeof text), port);
    for (int32_t i = 0; i < length && i < 16; ++i) std::printf(" %02x", data[i]);
    std::printf("%s\n", length > 16 ? " ..." : "");
    return 0;
}

void FeedDatagrams(TalkEngine* engine) {
    // A voice packet from a peer (sequence 0, one 10-byte frame) and a receiver report.
    const uint8_t voice[40] = {0x80, 0xE2, 0, 0, 0, 0, 0, 1, 0x12, 0x34, 0x56, 0x78,
                               'Z', 'I', 'R', 'O', '_', '0', 0, 'a', 10, 0, 0, 0, 40, 0, 0, 0};
    const uint8_t report[8] = {0x80, 201, 0, 1, 0x12, 0x34, 0x56, 0x78};
    const uint32_t peer = 0x0100007F;  // 127.0.0.1 in network order
    Tarnel_SetRevData(engine, peer, 41000, voice, sizeof voice);
    Tarnel_SetRevData(engine, peer, 41001, report, sizeof report);
    std::printf("handed in a voice packet on port 41000 and a receiver report on port 41001\n");
}

void ShowVolumes(TalkEngine* engine) {
    std::printf("speaker volume %d %%, microphone volume %d %% (-1 and 0: no mixer)\n",
                Tarnel_GetSpeakerVol(engine), Tarnel_GetMicVol(engine));
    Tarnel_SetSpeakerVol(engine, 40);
    std::printf("speaker volume set to 40 %%, read back: %d %%\n", Tarnel_GetSpeakerVol(engine));
}

}  // namespace

int main() {
    TalkEngine* engine = Tarnel_Ini();
    if (!engine) {
        std::fprintf(stderr, "cannot create the engine\n");
        return 1;
    }
    ShowVolumes(engine);
    Tarnel_SetSendCallBack(engine, 1, PrintPacket);
    Tarnel_BeginTalk(engine, 40000);
    Tarnel_AddTalkDestion(engine, "127.0.0.1", 41000);
    Tarnel_AddTalkDestion(engine, "127.0.0.2", 42000);
    std::printf("talk on port 40000 with destinations 127.0.0.1:41000 and 127.0.0.2:42000\n");
    FeedDatagrams(engine);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::printf("ending the talk\n");
    Tarnel_EndTalk(engine);
    std::printf("release: %d\n", Tarnel_Release(engine));
    return 0;
}
