/* Lumvox: the voice-message dialog.
 *
 * CreateModal shows the modal voice-message dialog owned by the host's window
 * and returns when it closes. In it the user records up to 30 seconds, plays
 * the recording back and sends it. Sending ends the dialog and, before
 * CreateModal returns, sends the host window message WM_LEAVEWORD_READY
 * (wParam 0, lParam a CStAudioLeaveWord*). The record and its text now belong
 * to the host, which frees them with DestroyLeaveWordPack, never itself.
 * Cancel, Esc and the close box send nothing.
 *
 * The text is the message's PCM (16-bit, 8000 samples/s, mono, in 30 ms blocks
 * of 480 bytes) in Base64, 640 characters per block, without line breaks or
 * terminator. It may be empty (size 0), e.g. when no microphone could be
 * opened, and data is null when its memory could not be allocated.
 *
 * Given a text (text not null, size above 0), the same dialog plays that
 * message and sending is disabled. A message shorter than one second
 * (33 blocks) cannot be played; a text over 0x100000 bytes is ignored and the
 * dialog opens empty. Each chunk of 640 characters that is not well-formed
 * Base64 is skipped, keeping the timing of the blocks after it.
 *
 * With a null parent the dialog runs without owner and nothing is sent.
 * The host's message loop passes each message to FilterDllMsg first and does
 * not dispatch it when the result is nonzero.
 */
#ifndef LUMVOX_H
#define LUMVOX_H

#include <stdint.h>

#define WM_LEAVEWORD_READY 0x930 /* WM_USER + 0x530 */

/* The pack the host receives: the text and its length in bytes. */
typedef struct CStAudioLeaveWord {
    char* data;
    uint32_t size;
#if defined(__cplusplus) && defined(LUMVOX_BUILDING)
    /* Exported: copies both fields; the text is shared, not duplicated. */
    CStAudioLeaveWord& operator=(const CStAudioLeaveWord& other);
#endif
} CStAudioLeaveWord;

#ifdef _WIN32
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef LUMVOX_BUILDING
#define LUMVOX_API
#else
#define LUMVOX_API __declspec(dllimport)
#endif

LUMVOX_API void __cdecl CreateModal(HWND parent, const char* text, uint32_t size);
/* Frees a pack received with WM_LEAVEWORD_READY; NULL does nothing. */
LUMVOX_API void __cdecl DestroyLeaveWordPack(CStAudioLeaveWord* pack);
/* Exported as _FilterDllMsg@4. */
LUMVOX_API BOOL __stdcall FilterDllMsg(MSG* msg);

#ifdef __cplusplus
}
#endif
#endif /* _WIN32 */

#endif /* LUMVOX_H */
