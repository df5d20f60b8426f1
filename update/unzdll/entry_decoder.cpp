#include "update/unzdll/entry_decoder.h"

#include <algorithm>
#include <new>

namespace unzdll {
namespace {

constexpr size_t kInputSize = 64 * 1024;
constexpr size_t kOutputSize = 256 * 1024;
constexpr int kRawDeflate = -MAX_WBITS;  // ZIP entries carry no zlib header

}  // namespace

EntryDecoder::EntryDecoder() {
    if (inflateInit2(&stream_, kRawDeflate) != Z_OK) throw std::bad_alloc();
}

EntryDecoder::~EntryDecoder() { inflateEnd(&stream_); }

// The buffers grow to what the largest entry so far needed, at most their
// fixed sizes.
void EntryDecoder::Reserve(const CentralHeader& header) {
    const size_t input = size_t(std::min<uint64_t>(kInputSize, std::max<uint64_t>(header.compressedSize, 1)));
    const size_t output = size_t(std::min<uint64_t>(kOutputSize, std::max<uint64_t>(header.uncompressedSize, 1)));
    if (input_.size() < input) input_.resize(input);
    if (output_.size() < output) output_.resize(output);
}

DataStatus EntryDecoder::Copy(platform::FileReader& source, uint64_t offset, const CentralHeader& header,
                              platform::CommittingWriter& out) {
    Reserve(header);
    return header.method == kMethodStored ? CopyStored(source, offset, header, out)
                                          : Inflate(source, offset, header, out);
}

DataStatus EntryDecoder::CopyStored(platform::FileReader& source, uint64_t offset, const CentralHeader& header,
                                    platform::CommittingWriter& out) {
    if (header.compressedSize != header.uncompressedSize) return DataStatus::Damaged;
    uLong crc = crc32(0, nullptr, 0);
    for (uint64_t left = header.compressedSize; left > 0;) {
        const size_t n = size_t(std::min<uint64_t>(left, input_.size()));
        if (!source.ReadAt(offset, input_.data(), n)) return DataStatus::Damaged;
        crc = crc32(crc, input_.data(), uInt(n));
        if (!out.Write(input_.data(), n)) return DataStatus::WriteFailed;
        offset += n;
        left -= n;
    }
    return crc == header.crc32 ? DataStatus::Ok : DataStatus::CrcMismatch;
}

DataStatus EntryDecoder::Inflate(platform::FileReader& source, uint64_t offset, const CentralHeader& header,
                                 platform::CommittingWriter& out) {
    if (inflateReset(&stream_) != Z_OK) return DataStatus::Damaged;
    stream_.avail_in = 0;
    uint64_t unread = header.compressedSize;
    uint64_t room = header.uncompressedSize;  // more output than announced is damage
    uLong crc = crc32(0, nullptr, 0);
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (stream_.avail_in == 0 && unread > 0) {
            const size_t n = size_t(std::min<uint64_t>(unread, input_.size()));
            if (!source.ReadAt(offset, input_.data(), n)) return DataStatus::Damaged;
            offset += n;
            unread -= n;
            stream_.next_in = input_.data();
            stream_.avail_in = uInt(n);
        }
        stream_.next_out = output_.data();
        stream_.avail_out = uInt(output_.size());
        rc = inflate(&stream_, Z_NO_FLUSH);
        if (rc == Z_MEM_ERROR) throw std::bad_alloc();
        const size_t produced = output_.size() - stream_.avail_out;
        if (produced > room) return DataStatus::Damaged;
        // Z_BUF_ERROR here means no progress with all input used: the data is cut short.
        if (rc != Z_OK && rc != Z_STREAM_END) return DataStatus::Damaged;
        room -= produced;
        crc = crc32(crc, output_.data(), uInt(produced));
        if (produced > 0 && !out.Write(output_.data(), produced)) return DataStatus::WriteFailed;
    }
    if (room != 0) return DataStatus::Damaged;
    return crc == header.crc32 ? DataStatus::Ok : DataStatus::CrcMismatch;
}

}  // namespace unzdll
