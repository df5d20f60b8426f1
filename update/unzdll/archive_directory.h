#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "update/unzdll/zip_records.h"

// Finding an archive's central directory and walking it with a fixed-size
// buffer, so that memory does not grow with the archive.
namespace unzdll {

struct ArchiveLayout {
    uint64_t base = 0;  // bytes in front of the archive proper (a stub), added to every stored offset
    uint64_t directoryStart = 0;
    uint64_t directoryEnd = 0;
    uint32_t entryCount = 0;
};

enum class LayoutStatus { Ok, ReadFailed, NotZip, MultiDisk };

// Searches the end record backwards over the largest possible comment; with
// a ZIP64 locator before it, the ZIP64 end record gives the directory.
LayoutStatus FindArchiveLayout(platform::FileReader& source, ArchiveLayout& layout);

// Reads a byte range of the source front to back through one buffer.
class SourceReader {
public:
    SourceReader(platform::FileReader& source, uint64_t start, uint64_t end);
    bool Read(uint8_t* out, size_t length);
    bool Skip(uint64_t length);

private:
    bool Refill();

    platform::FileReader& source_;
    uint64_t next_;  // source offset of the byte after the buffered ones
    uint64_t end_;
    std::vector<uint8_t> buffer_;
    size_t at_ = 0;
    size_t filled_ = 0;
};

class CentralDirectoryCursor {
public:
    enum class Step { Entry, End, Damaged };

    CentralDirectoryCursor(platform::FileReader& source, const ArchiveLayout& layout);
    // The next header, its ZIP64 values read, and its raw name; End after
    // the last announced entry.
    Step Next(CentralHeader& header, std::string& name);

private:
    SourceReader reader_;
    uint32_t remaining_;
    std::vector<uint8_t> extra_;
};

}  // namespace unzdll
