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

// The ZIP64 end record that a locator names: at its stored offset, or,
// behind a stub, right before the locator. False when neither holds one that
// ends before the locator.
bool ReadZip64EndRecord(platform::FileReader& source, const Zip64Locator& locator, uint64_t locatorAt,
                        Zip64EndRecord& record, uint64_t& recordAt) {
    if (locatorAt < kZip64EndRecordSize) return false;
    const uint64_t candidates[] = {locator.endRecordOffset, locatorAt - kZip64EndRecordSize};
    for (const uint64_t at : candidates) {
        uint8_t fixed[kZip64EndRecordSize];
        if (at > locatorAt - kZip64EndRecordSize || at < locator.endRecordOffset ||
            !source.ReadAt(at, fixed, sizeof fixed) || !ParseZip64EndRecord(fixed, record))
            continue;
        if (record.recordSize < kZip64EndRecordSize - kZip64EndRecordLead ||
            record.recordSize > locatorAt - at - kZip64EndRecordLead)
            continue;
        recordAt = at;
        return true;
    }
    return false;
}

// The directory as the ZIP64 end record gives it; it lies between the
// archive's start and the record.
LayoutStatus FindZip64Layout(platform::FileReader& source, const uint8_t* locatorBytes, uint64_t locatorAt,
                             ArchiveLayout& layout) {
    Zip64Locator locator;
    ParseZip64Locator(locatorBytes, locator);
    if (locator.endRecordDisk != 0 || locator.diskCount > 1) return LayoutStatus::MultiDisk;
    Zip64EndRecord record;
    uint64_t recordAt = 0;
    if (!ReadZip64EndRecord(source, locator, locatorAt, record, recordAt)) return LayoutStatus::NotZip;
    if (record.diskNumber != 0 || record.directoryDisk != 0 || record.diskEntries != record.totalEntries)
        return LayoutStatus::MultiDisk;
    const uint64_t base = recordAt - locator.endRecordOffset;
    const uint64_t room = recordAt - base;
    if (record.totalEntries > UINT32_MAX || record.directorySize > room ||
        record.directoryOffset > room - record.directorySize)
        return LayoutStatus::NotZip;
    layout.base = base;
    layout.directoryStart = base + record.directoryOffset;
    layout.directoryEnd = layout.directoryStart + record.directorySize;
    layout.entryCount = uint32_t(record.totalEntries);
    return LayoutStatus::Ok;
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
    const uint64_t endAt = size - tailSize + *found;
    // A ZIP64 locator right before the end record: its record's values count.
    if (*found >= kZip64LocatorSize &&
        common::GetLe32(tail.data() + *found - kZip64LocatorSize) == kZip64LocatorSignature)
        return FindZip64Layout(source, tail.data() + *found - kZip64LocatorSize, endAt - kZip64LocatorSize, layout);

    EndRecord end;
    ParseEndRecord(tail.data() + *found, end);
    if (end.diskNumber != 0 || end.directoryDisk != 0 || end.diskEntries != end.totalEntries)
        return LayoutStatus::MultiDisk;

    // The directory ends where the end record starts; stored offsets count
    // from the archive's start, which may follow a stub.
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
    extra_.resize(header.extraLength);
    if (!reader_.Read(reinterpret_cast<uint8_t*>(name.data()), name.size()) ||
        !reader_.Read(extra_.data(), extra_.size()) || !reader_.Skip(header.commentLength))
        return Step::Damaged;
    ReadZip64Extra(extra_.data(), extra_.size(), header);
    --remaining_;
    return Step::Entry;
}

}  // namespace unzdll
