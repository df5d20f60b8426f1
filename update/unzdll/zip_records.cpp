#include "update/unzdll/zip_records.h"

#include <span>

#include "common/byte_order.h"

namespace unzdll {
namespace {

using common::GetLe16;
using common::GetLe32;
using common::GetLe64;

constexpr uint8_t kHostUnix = 3;
constexpr uint32_t kUnixTypeMask = 0170000;
constexpr uint32_t kUnixRegular = 0100000;
constexpr uint32_t kUnixFolder = 0040000;

uint32_t UnixMode(const CentralHeader& header) {
    return (header.madeBy >> 8) == kHostUnix ? header.externalAttributes >> 16 : 0;
}

// The data of the first extra field with `id`; empty when there is none. A
// field that runs past the end ends the search.
std::span<const uint8_t> FindExtraField(const uint8_t* extra, size_t length, uint16_t id) {
    for (size_t at = 0; length - at >= 4;) {
        const size_t size = GetLe16(extra + at + 2);
        if (size > length - at - 4) break;
        if (GetLe16(extra + at) == id) return {extra + at + 4, size};
        at += 4 + size;
    }
    return {};
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
    h.zip64Missing = false;
    return true;
}

bool ParseLocalHeader(const uint8_t* p, LocalHeader& h) {
    if (GetLe32(p) != kLocalHeaderSignature) return false;
    h.nameLength = GetLe16(p + 26);
    h.extraLength = GetLe16(p + 28);
    return true;
}

bool ParseZip64Locator(const uint8_t* p, Zip64Locator& l) {
    if (GetLe32(p) != kZip64LocatorSignature) return false;
    l.endRecordDisk = GetLe32(p + 4);
    l.endRecordOffset = GetLe64(p + 8);
    l.diskCount = GetLe32(p + 16);
    return true;
}

bool ParseZip64EndRecord(const uint8_t* p, Zip64EndRecord& r) {
    if (GetLe32(p) != kZip64EndRecordSignature) return false;
    r.recordSize = GetLe64(p + 4);
    r.diskNumber = GetLe32(p + 16);
    r.directoryDisk = GetLe32(p + 20);
    r.diskEntries = GetLe64(p + 24);
    r.totalEntries = GetLe64(p + 32);
    r.directorySize = GetLe64(p + 40);
    r.directoryOffset = GetLe64(p + 48);
    return true;
}

void ReadZip64Extra(const uint8_t* extra, size_t length, CentralHeader& h) {
    const std::span<const uint8_t> field = FindExtraField(extra, length, kZip64ExtraId);
    size_t used = 0;
    // Only the marked values are there, in this order: 8 bytes each, the disk's 4.
    const auto take = [&](bool marked, size_t width, auto& value) {
        if (!marked) return;
        if (field.size() - used < width) {
            h.zip64Missing = true;
            return;
        }
        value = width == 8 ? GetLe64(field.data() + used) : GetLe32(field.data() + used);
        used += width;
    };
    take(h.uncompressedSize == kZip64Marker32, 8, h.uncompressedSize);
    take(h.compressedSize == kZip64Marker32, 8, h.compressedSize);
    take(h.localHeaderOffset == kZip64Marker32, 8, h.localHeaderOffset);
    take(h.diskStart == kZip64Marker16, 4, h.diskStart);
}

bool IsSpecialUnixFile(const CentralHeader& header) {
    const uint32_t type = UnixMode(header) & kUnixTypeMask;
    return type != 0 && type != kUnixRegular && type != kUnixFolder;
}

bool IsUnixExecutable(const CentralHeader& header) { return (UnixMode(header) & 0111) != 0; }

}  // namespace unzdll
