#pragma once
// Writes a ZIP archive front to back, as the updater's unzip library reads
// it: each file deflated, its name in UTF-8 (flag bit 11), its CRC-32 and
// sizes in a data descriptor after the data and in the central directory.
// No ZIP64: a file or an archive of 4 GB or more is refused.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace publish {

class ZipWriter {
public:
    // The archive goes to `out`, which the caller commits once Finish is done.
    explicit ZipWriter(platform::CommittingWriter& out);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    struct Entry {
        std::string name;     // UTF-8, "/" separated
        uint32_t mode = 0644; // Unix permission bits
        int64_t modified = 0; // seconds since 1970, UTC
    };
    // The file at `path` under `entry.name`. Throws PublishError.
    void AddFile(const Entry& entry, const std::string& path);
    void AddBytes(const Entry& entry, const std::string& bytes);
    // The central directory and its end record.
    void Finish();

    class Source;  // where an entry's bytes come from

private:
    struct Written {
        Entry entry;
        uint32_t crc = 0;
        uint64_t compressedSize = 0;
        uint64_t size = 0;
        uint64_t offset = 0;
        uint16_t dosTime = 0;
        uint16_t dosDate = 0;
    };
    void Add(const Entry& entry, Source& source);
    void Deflate(Source& source, Written& written);
    void Put(const void* data, std::size_t size);
    void Put(const std::vector<uint8_t>& bytes) { Put(bytes.data(), bytes.size()); }

    platform::CommittingWriter& out_;
    z_stream stream_{};
    uint64_t offset_ = 0;
    std::vector<Written> entries_;
    std::vector<uint8_t> input_;
    std::vector<uint8_t> output_;
};

}  // namespace publish
