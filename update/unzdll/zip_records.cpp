#include "update/unzdll/zip_records.h"

#include "common/byte_order.h"

namespace unzdll {
namespace {

using common::GetLe16;
using common::GetLe32;

constexpr uint8_t kHostUnix = 3;
constexpr uint32_t kUnixTypeMask = 0170000;
constexpr uint32_t kUnixRegular = 0100000;
constexpr uint32_t kUnixFolder = 0040000;

uint32_t UnixMode(const CentralHeader& header) {
    return (header.madeBy >> 8) == kHostUnix ? header.externalAttributes >> 16 : 0;
}

}  // namespace

bool ParseEndRecord(const uint8_t* p, EndRecord& r) {
    if (GetLe32(p) != kEndRecordSignature) return false;
    r.diskNumber = GetLe16(p + 4);
    r.directoryDisk = GetLe16(p + 6);
    r.diskEntries = GetLe16(p + 8);
    r.totalEntries = GetLe16(p + 10);
    r.directorySize = GetLe32(p + 12);
    r.directoryOffset = GetLe32(p + 16);
    r.commentLength = GetLe16(p + 20);
    return true;
}

bool ParseCentralHeader(const uint8_t* p, CentralHeader& h) {
    if (GetLe32(p) != kCentralHeaderSignature) return false;
    h.madeBy = GetLe16(p + 4);
    h.flags = GetLe16(p + 8);
    h.method = GetLe16(p + 10);
    h.dosTime = GetLe16(p + 12);
    h.dosDate = GetLe16(p + 14);
    h.crc32 = GetLe32(p + 16);
    h.compressedSize = GetLe32(p + 20);
    h.uncompressedSize = GetLe32(p + 24);
    h.nameLength = GetLe16(p + 28);
    h.extraLength = GetLe16(p + 30);
    h.commentLength = GetLe16(p + 32);
    h.diskStart = GetLe16(p + 34);
    h.externalAttributes = GetLe32(p + 38);
    h.localHeaderOffset = GetLe32(p + 42);
    return true;
}

bool ParseLocalHeader(const uint8_t* p, LocalHeader& h) {
    if (GetLe32(p) != kLocalHeaderSignature) return false;
    h.nameLength = GetLe16(p + 26);
    h.extraLength = GetLe16(p + 28);
    return true;
}

bool IsSpecialUnixFile(const CentralHeader& header) {
    const uint32_t type = UnixMode(header) & kUnixTypeMask;
    return type != 0 && type != kUnixRegular && type != kUnixFolder;
}

bool IsUnixExecutable(const CentralHeader& header) { return (UnixMode(header) & 0111) != 0; }

bool NeedsZip64(const CentralHeader& h) {
    return h.compressedSize == kZip64Marker32 || h.uncompressedSize == kZip64Marker32 ||
           h.localHeaderOffset == kZip64Marker32 || h.diskStart == kZip64Marker16;
}

}  // namespace unzdll
