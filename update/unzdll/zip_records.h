#pragma once
#include <cstddef>
#include <cstdint>

// The fixed parts of the ZIP records the reader uses, little-endian on disk.
namespace unzdll {

constexpr uint32_t kEndRecordSignature = 0x06054b50;
constexpr uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kZip64EndRecordSignature = 0x06064b50;

constexpr size_t kEndRecordSize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kZip64EndRecordSize = 56;  // without the extensible data that may follow
constexpr size_t kZip64EndRecordLead = 12;  // signature and size field: not counted in the size
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kMaxCommentSize = 0xFFFF;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagStrongEncryption = 0x0040;
constexpr uint16_t kFlagUtf8Name = 0x0800;

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;

// A field holding its marker has its value in the ZIP64 extra field (id 1).
constexpr uint32_t kZip64Marker32 = 0xFFFFFFFF;
constexpr uint16_t kZip64Marker16 = 0xFFFF;
constexpr uint16_t kZip64ExtraId = 0x0001;

struct EndRecord {
    uint16_t diskNumber;
    uint16_t directoryDisk;
    uint16_t diskEntries;
    uint16_t totalEntries;
    uint32_t directorySize;
    uint32_t directoryOffset;
    uint16_t commentLength;
};

struct Zip64Locator {
    uint32_t endRecordDisk;
    uint64_t endRecordOffset;
    uint32_t diskCount;
};

struct Zip64EndRecord {
    uint64_t recordSize;  // bytes after the size field, extensible data included
    uint32_t diskNumber;
    uint32_t directoryDisk;
    uint64_t diskEntries;
    uint64_t totalEntries;
    uint64_t directorySize;
    uint64_t directoryOffset;
};

// The 32-bit sizes and offset and the 16-bit disk widen to the values of
// the ZIP64 extra field (see ReadZip64Extra).
struct CentralHeader {
    uint16_t madeBy;  // high byte: the host system that made the entry
    uint16_t flags;
    uint16_t method;
    uint16_t dosTime;
    uint16_t dosDate;
    uint32_t crc32;
    uint64_t compressedSize;
    uint64_t uncompressedSize;
    uint16_t nameLength;
    uint16_t extraLength;
    uint16_t commentLength;
    uint32_t diskStart;
    uint32_t externalAttributes;
    uint64_t localHeaderOffset;
    bool zip64Missing;  // a field holds its marker, but the extra fields give no value for it
};

struct LocalHeader {
    uint16_t nameLength;
    uint16_t extraLength;
};

// Each parser reads exactly its record's fixed size and checks the signature.
bool ParseEndRecord(const uint8_t* data, EndRecord& record);
bool ParseCentralHeader(const uint8_t* data, CentralHeader& header);
bool ParseLocalHeader(const uint8_t* data, LocalHeader& header);
bool ParseZip64Locator(const uint8_t* data, Zip64Locator& locator);
bool ParseZip64EndRecord(const uint8_t* data, Zip64EndRecord& record);

// Takes the values of the fields that hold their marker from the ZIP64 extra
// field among the entry's `length` bytes of extra fields, in the order the
// format gives; sets zip64Missing when one is not there. Extra fields that
// run past the end are not read.
void ReadZip64Extra(const uint8_t* extra, size_t length, CentralHeader& header);

// Made on a Unix host with a file type in the mode bits that is neither a
// regular file nor a folder: a link, device, pipe or socket.
bool IsSpecialUnixFile(const CentralHeader& header);
// Made on a Unix host with an execute permission bit set.
bool IsUnixExecutable(const CentralHeader& header);

}  // namespace unzdll
