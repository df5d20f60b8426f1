#include "update/unzdll/archive_directory.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "common/byte_order.h"

namespace unzdll {
namespace {

constexpr size_t kReadBufferSize = 64 * 1024;

// The end record nearest the end whose comment reaches exactly to the end of
// the file; failing that (bytes appended after the archive), the nearest one
// whose comment fits. Gives the record's offset in `tail`.
std::optional<size_t> FindEndRecord(const std::vector<uint8_t>& tail) {
    std::optional<size_t> fallback;
    for (size_t at = tail.size() - kEndRecordSize + 1; at-- > 0;) {
        EndRecord record;
        if (!ParseEndRecord(tail.data() + at, record)) continue;
        const size_t end = at + kEndRecordSize + record.commentLength;
        if (end == tail.size()) return at;
        if (end < tail.size() && !fallback) fallback = at;
    }
    return fallback;
}

bool HasZip64Locator(const std::vector<uint8_t>& tail, size_t endAt) {
    return endAt >= kZip64LocatorSize &&
           common::GetLe32(tail.data() + endAt - kZip64LocatorSize) == kZip64LocatorSignature;
}

}  // namespace

LayoutStatus FindArchiveLayout(platform::FileReader& source, ArchiveLayout& layout) {
    const uint64_t size = source.Size();
    if (size < kEndRecordSize) return LayoutStatus::NotZip;
    const size_t tailSize = size_t(std::min<uint64_t>(size, kEndRecordSize + kMaxCommentSize));
    std::vector<uint8_t> tail(tailSize);
    if (!source.ReadAt(size - tailSize, tail.data(), tailSize)) return LayoutStatus::ReadFailed;

    const std::optional<size_t> found = FindEndRecord(tail);
    if (!found) return LayoutStatus::NotZip;
    EndRecord end;
    ParseEndRecord(tail.data() + *found, end);
    if (HasZip64Locator(tail, *found) || end.totalEntries == kZip64Marker16 ||
        end.directorySize == kZip64Marker32 || end.directoryOffset == kZip64Marker32)
        return LayoutStatus::Zip64;
    if (end.diskNumber != 0 || end.directoryDisk != 0 || end.diskEntries != end.totalEntries)
        return LayoutStatus::MultiDisk;

    // The directory ends where the end record starts; stored offsets count
    // from the archive's start, which may follow a stub.
    const uint64_t endAt = size - tailSize + *found;
    const uint64_t stored = uint64_t(end.directoryOffset) + end.directorySize;
    if (stored > endAt) return LayoutStatus::NotZip;
    layout.base = endAt - stored;
    layout.directoryStart = layout.base + end.directoryOffset;
    layout.directoryEnd = endAt;
    layout.entryCount = end.totalEntries;
    return LayoutStatus::Ok;
}

SourceReader::SourceReader(platform::FileReader& source, uint64_t start, uint64_t end)
    : source_(source), next_(start), end_(end), buffer_(size_t(std::min<uint64_t>(kReadBufferSize, end - start))) {}

bool SourceReader::Refill() {
    if (next_ >= end_) return false;
    const size_t length = size_t(std::min<uint64_t>(buffer_.size(), end_ - next_));
    if (!source_.ReadAt(next_, buffer_.data(), length)) return false;
    next_ += length;
    at_ = 0;
    filled_ = length;
    return true;
}

bool SourceReader::Read(uint8_t* out, size_t length) {
    while (length > 0) {
        if (at_ == filled_ && !Refill()) return false;
        const size_t n = std::min(length, filled_ - at_);
        std::memcpy(out, buffer_.data() + at_, n);
        at_ += n;
        out += n;
        length -= n;
    }
    return true;
}

bool SourceReader::Skip(uint64_t length) {
    const size_t buffered = filled_ - at_;
    if (length <= buffered) {
        at_ += size_t(length);
        return true;
    }
    length -= buffered;
    at_ = filled_;
    if (length > end_ - next_) return false;
    next_ += length;
    return true;
}

CentralDirectoryCursor::CentralDirectoryCursor(platform::FileReader& source, const ArchiveLayout& layout)
    : reader_(source, layout.directoryStart, layout.directoryEnd), remaining_(layout.entryCount) {}

CentralDirectoryCursor::Step CentralDirectoryCursor::Next(CentralHeader& header, std::string& name) {
    if (remaining_ == 0) return Step::End;
    uint8_t fixed[kCentralHeaderSize];
    if (!reader_.Read(fixed, sizeof fixed) || !ParseCentralHeader(fixed, header)) return Step::Damaged;
    name.resize(header.nameLength);
    if (!reader_.Read(reinterpret_cast<uint8_t*>(name.data()), name.size())) return Step::Damaged;
    if (!reader_.Skip(uint64_t(header.extraLength) + header.commentLength)) return Step::Damaged;
    --remaining_;
    return Step::Entry;
}

}  // namespace unzdll
