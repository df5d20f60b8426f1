#include "voicemsg/pack_text.h"

#include <algorithm>
#include <array>

#include "audio/buffer_monitor.h"
#include "common/base64.h"

namespace voicemsg {

namespace {

// Decodes one chunk into `out`; the byte count, or 0 when it is malformed.
uint32_t DecodeChunk(const char* chunk, uint32_t chars, uint8_t* out) {
    if (chars == 0 || chars % 4 != 0) return 0;
    uint32_t bytes = 0;
    for (uint32_t at = 0; at < chars; at += 4) {
        const int n = common::Base64DecodeGroup(chunk + at, out + bytes);
        const bool last = at + 4 == chars;
        if (n < 0 || (n < 3 && !last)) return 0;  // padding may only end the chunk
        bytes += uint32_t(n);
    }
    return bytes;
}

// Decodes the text chunk by chunk, from its start while a chunk starts before
// its end, handing each chunk's number (from 1) and bytes (none: malformed)
// to `visit` until it returns false.
template <typename Visit>
void ForEachChunk(const char* text, uint32_t length, Visit&& visit) {
    std::array<uint8_t, kPackBlockBytes> pcm;
    uint32_t number = 0;
    for (uint64_t start = 0; start < length; start += kPackChunkChars) {
        const uint32_t chars = uint32_t(std::min<uint64_t>(kPackChunkChars, length - start));
        if (!visit(++number, pcm.data(), DecodeChunk(text + start, chars, pcm.data()))) return;
    }
}

}  // namespace

uint32_t BuildPackText(CBufferMonitor& queue, char* out, uint32_t capacity) {
    if (!out || capacity == 0) return 0;
    QueueReader* reader = queue.OpenReaderAtOldest();
    if (!reader) return 0;
    uint32_t written = 0;
    out[0] = '\0';
    while (const uint8_t* block = queue.ReadNext(reader)) {
        const uint32_t length = ReadFrameBlockHeader(block).length;
        const uint64_t chars = common::Base64Length(length);
        if (written + chars + 1 > capacity) break;  // the piece and its NUL must fit
        common::Base64Encode(FrameBlockData(block), length, out + written);
        written += uint32_t(chars);
        out[written] = '\0';
    }
    queue.CloseReader(reader);
    return written;
}

void LoadPackText(CBufferMonitor& queue, const char* text, uint32_t length) {
    if (!text) return;
    queue.ClearQueue();
    ForEachChunk(text, length, [&](uint32_t number, const uint8_t* pcm, uint32_t bytes) {
        if (bytes) queue.PushFrame(pcm, bytes, number * kPackStampStep);
        return true;
    });
}

uint32_t FirstMalformedChunk(const char* text, uint32_t length) {
    uint32_t malformed = 0;
    if (text)
        ForEachChunk(text, length, [&](uint32_t number, const uint8_t*, uint32_t bytes) {
            if (!bytes) malformed = number;
            return bytes != 0;
        });
    return malformed;
}

}  // namespace voicemsg
