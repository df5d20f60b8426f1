#pragma once
#include <cstddef>
#include <cstdint>

// The fixed parts of the ZIP records the reader uses, little-endian on disk.
namespace unzdll {

constexpr uint32_t kEndRecordSignature = 0x06054b50;
constexpr uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;

constexpr size_t kEndRecordSize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kMaxCommentSize = 0xFFFF;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagStrongEncryption = 0x0040;
constexpr uint16_t kFlagUtf8Name = 0x0800;

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;

constexpr uint32_t kZip64Marker32 = 0xFFFFFFFF;
constexpr uint16_t kZip64Marker16 = 0xFFFF;

struct EndRecord {
    uint16_t diskNumber;
    uint16_t directoryDisk;
    uint16_t diskEntries;
    uint16_t totalEntries;
    uint32_t directorySize;
    uint32_t directoryOffset;
    uint16_t commentLength;
};

struct CentralHeader {
    uint16_t madeBy;  // high byte: the host system that made the entry
    uint16_t flags;
    uint16_t method;
    uint16_t dosTime;
    uint16_t dosDate;
    uint32_t crc32;
    uint32_t compressedSize;
    uint32_t uncompressedSize;
    uint16_t nameLength;
    uint16_t extraLength;
    uint16_t commentLength;
    uint16_t diskStart;
    uint32_t externalAttributes;
    uint32_t localHeaderOffset;
};

struct LocalHeader {
    uint16_t nameLength;
    uint16_t extraLength;
};

// Each parser reads exactly its record's fixed size and checks the signature.
bool ParseEndRecord(const uint8_t* data, EndRecord& record);
bool ParseCentralHeader(const uint8_t* data, CentralHeader& header);
bool ParseLocalHeader(const uint8_t* data, LocalHeader& header);

// Made on a Unix host with a file type in the mode bits that is neither a
// regular file nor a folder: a link, device, pipe or socket.
bool IsSpecialUnixFile(const CentralHeader& header);
// Made on a Unix host with an execute permission bit set.
bool IsUnixExecutable(const CentralHeader& header);
// Sizes or offset that only a ZIP64 extra field can give.
bool NeedsZip64(const CentralHeader& header);

}  // namespace unzdll
