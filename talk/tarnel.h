/* Tarnel: real-time voice talk between two or more parties.
 *
 * The engine never opens a socket. Every packet it produces is handed to the
 * host's SendCallback, once per destination; every datagram the host receives
 * for the talk is handed back through Tarnel_SetRevData.
 *
 * Calling order: Tarnel_Ini, Tarnel_SetSendCallBack, Tarnel_BeginTalk,
 * Tarnel_AddTalkDestion (one per peer), Tarnel_SetRevData for every datagram,
 * Tarnel_EndTalk, optionally further BeginTalk/EndTalk cycles (destinations
 * must be added again), Tarnel_Release.
 *
 * Rules:
 * - Every function except Tarnel_Ini does nothing (returning 0 where it
 *   returns a value) when the engine is null.
 * - Tarnel_BeginTalk while a talk runs is rejected: the running talk goes on
 *   unchanged.
 * - Destinations given outside a talk are ignored.
 * - Tarnel_SetSendCallBack stores callback and context only when the engine,
 *   the context and the callback are all non-zero; it returns the engine.
 *   Without a registered callback packets are dropped.
 * - Tarnel_SetRevData: pass the port in host byte order. An even port is the
 *   RTP (voice) port, an odd one the RTCP port; the engine keeps the port as
 *   passed and sends its reports to that source at port + 1. Datagrams are
 *   processed on the calling thread and only read during the call.
 * - The SendCallback is called on the engine's sender thread (voice and
 *   periodic reports) and on the thread that calls Tarnel_EndTalk (BYE). The
 *   packet belongs to the engine and is valid only during the call. It must
 *   not call back into the engine.
 * - Tarnel_EndTalk takes up to about 2.1 s: it lets the sender and the audio
 *   devices go quiet before it frees what they use.
 * - The codec state is process-wide: one talk at a time per process.
 * - Volume and mute act on the system's mixer: on Windows the winmm mixer
 *   (the device that has the speakers, or the recording, for each), on Linux
 *   ALSA's simple mixer of the "default" control device, which follows the
 *   user's sound card or sound server. They use the engine only to refuse a
 *   null one.
 * - Tarnel_Ini prepares the mixer: the microphone becomes the recording
 *   source, the microphone and speaker volumes go to 100 %, the microphone's
 *   line into the speakers is muted (its recording never is) and the speakers
 *   are unmuted.
 * - Volumes are whole percent; the setters clamp to 0..100. Where a card's
 *   steps are coarse, a setter that leaves the volume where it was writes
 *   again 1 % further until it moves. A getter may read one below the value
 *   set, from rounding to whole percent.
 * - Tarnel_MutSpeaker and Tarnel_NoMutSpeaker mute and unmute the speakers.
 * - Without a usable mixer the setters and mutes do nothing,
 *   Tarnel_GetSpeakerVol returns -1 and Tarnel_GetMicVol returns 0.
 */
#ifndef TARNEL_H
#define TARNEL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && !defined(TARNEL_CDECL)
#define TARNEL_CDECL __cdecl
#elif !defined(TARNEL_CDECL)
#define TARNEL_CDECL
#endif

#if defined(_WIN32) && defined(TARNEL_BUILDING)
#define TARNEL_API
#elif defined(_WIN32)
#define TARNEL_API __declspec(dllimport)
#elif defined(TARNEL_BUILDING)
#define TARNEL_API __attribute__((visibility("default")))
#else
#define TARNEL_API
#endif

typedef struct TalkEngine TalkEngine;

/* ip: IPv4 address in network byte order; port: host order (RTCP packets go
 * to the peer's port + 1); isRtcp: 0 for voice, 1 for RTCP. Return ignored. */
typedef int(TARNEL_CDECL* SendCallback)(uint32_t context, uint32_t ip, uint32_t port,
                                        const uint8_t* data, int32_t length, int32_t isRtcp);

TARNEL_API TalkEngine* TARNEL_CDECL Tarnel_Ini(void);
TARNEL_API int32_t TARNEL_CDECL Tarnel_Release(TalkEngine* engine);
TARNEL_API void TARNEL_CDECL Tarnel_BeginTalk(TalkEngine* engine, unsigned short port);
TARNEL_API void TARNEL_CDECL Tarnel_EndTalk(TalkEngine* engine);
TARNEL_API void TARNEL_CDECL Tarnel_AddTalkDestion(TalkEngine* engine, const char* ip, unsigned short port);
TARNEL_API void TARNEL_CDECL Tarnel_RemoveTalkDestion(TalkEngine* engine, const char* ip, unsigned short port);
TARNEL_API void TARNEL_CDECL Tarnel_SetSpeakerVol(TalkEngine* engine, int32_t percent);
TARNEL_API int32_t TARNEL_CDECL Tarnel_GetSpeakerVol(TalkEngine* engine);
TARNEL_API void TARNEL_CDECL Tarnel_SetMicVol(TalkEngine* engine, int32_t percent);
TARNEL_API int32_t TARNEL_CDECL Tarnel_GetMicVol(TalkEngine* engine);
TARNEL_API void TARNEL_CDECL Tarnel_MutSpeaker(TalkEngine* engine);
TARNEL_API void TARNEL_CDECL Tarnel_NoMutSpeaker(TalkEngine* engine);
TARNEL_API TalkEngine* TARNEL_CDECL Tarnel_SetSendCallBack(TalkEngine* engine, uint32_t context,
                                                           SendCallback callback);
TARNEL_API void TARNEL_CDECL Tarnel_SetRevData(TalkEngine* engine, uint32_t ip, unsigned short port,
                                               const uint8_t* data, int32_t length);

#ifdef __cplusplus
}
#endif

#endif /* TARNEL_H */
