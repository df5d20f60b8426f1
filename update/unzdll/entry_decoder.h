#pragma once
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "platform/file_system.h"
#include "update/unzdll/zip_records.h"

// Copies one entry's data, stored or deflated, from the archive into a file,
// through fixed buffers and one inflate state reused for every entry.
namespace unzdll {

enum class DataStatus { Ok, Damaged, CrcMismatch, WriteFailed };

class EntryDecoder {
public:
    EntryDecoder();  // throws std::bad_alloc when zlib cannot set up
    ~EntryDecoder();
    EntryDecoder(const EntryDecoder&) = delete;
    EntryDecoder& operator=(const EntryDecoder&) = delete;

    // `offset` is where the entry's data starts; sizes and CRC-32 come from
    // the central directory, whose values hold whether or not the entry has
    // a data descriptor. The method is stored or deflated.
    DataStatus Copy(platform::FileReader& source, uint64_t offset, const CentralHeader& header, platform::CommittingWriter& out);

private:
    void Reserve(const CentralHeader& header);
    DataStatus CopyStored(platform::FileReader& source, uint64_t offset, const CentralHeader& header, platform::CommittingWriter& out);
    DataStatus Inflate(platform::FileReader& source, uint64_t offset, const CentralHeader& header, platform::CommittingWriter& out);

    z_stream stream_{};
    std::vector<uint8_t> input_;
    std::vector<uint8_t> output_;
};

}  // namespace unzdll
