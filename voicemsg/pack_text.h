#pragma once
// The pack text of a voice message: the PCM of every block of the message
// queue in Base64, block by block, with no line breaks and no terminator.
// A recorded block holds 480 bytes, so it is exactly 640 characters and the
// text of a recording is the Base64 of its whole PCM stream.
#include <cstdint>

class CBufferMonitor;

namespace voicemsg {

constexpr uint32_t kPackTextCapacity = 0x100000;  // the largest text built or accepted
constexpr uint32_t kPackChunkChars = 640;         // characters of one 30 ms block
constexpr uint32_t kPackBlockBytes = 480;         // PCM bytes of one 30 ms block
constexpr uint32_t kPackStampStep = 40;           // time stamp step between blocks

// Writes the text of every block, oldest first, into `out` (capacity bytes),
// followed by a NUL that is not counted. Stops before the block whose text
// and NUL would not fit. Returns the number of characters; 0 when the queue
// has no free reader slot.
uint32_t BuildPackText(CBufferMonitor& queue, char* out, uint32_t capacity);

// Replaces the queue's blocks by the decoded text: one block per chunk of 640
// characters (the last one may be shorter), stamped 40, 80, ... by chunk
// number. A chunk is decoded only when it is wholly well-formed Base64: a
// multiple of four characters from the alphabet, with "=" padding only at its
// end. Any other chunk yields no block, and its stamp is still used up, so
// the blocks after it keep their place in time. Null text does nothing.
void LoadPackText(CBufferMonitor& queue, const char* text, uint32_t length);

// The number (from 1) of the first chunk that LoadPackText would skip as
// malformed; 0 when every chunk decodes.
uint32_t FirstMalformedChunk(const char* text, uint32_t length);

}  // namespace voicemsg
