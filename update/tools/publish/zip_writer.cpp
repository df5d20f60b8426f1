#include "update/tools/publish/zip_writer.h"

#include <cstring>
#include <ctime>
#include <memory>

#include "platform/broken_down_time.h"
#include "update/tools/publish/publish_error.h"
#include "update/unzdll/zip_records.h"

namespace publish {

namespace {

using namespace unzdll;

constexpr uint32_t kDescriptorSignature = 0x08074b50;
constexpr uint16_t kFlagDescriptor = 0x0008;
constexpr uint16_t kVersionNeeded = 20;             // 2.0: deflate
constexpr uint16_t kMadeByUnix = 3 << 8 | 20;       // the high byte names the host system
constexpr uint32_t kRegularFileType = 0100000;      // S_IFREG, in the high half of the attributes
constexpr uint64_t kLimit32 = 0xFFFFFFFF;
constexpr std::size_t kBlockSize = 64 * 1024;
constexpr int kFirstDosYear = 1980;

// A record of little-endian fields.
class Record {
public:
    Record& U16(uint16_t value) {
        bytes.push_back(uint8_t(value));
        bytes.push_back(uint8_t(value >> 8));
        return *this;
    }
    Record& U32(uint32_t value) { return U16(uint16_t(value)).U16(uint16_t(value >> 16)); }
    Record& Text(const std::string& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    std::vector<uint8_t> bytes;
};

// MS-DOS date and time fields of the local time; 1980-01-01 for anything earlier.
void DosTime(int64_t seconds, uint16_t& time, uint16_t& date) {
    std::tm local{};
    if (!platform::ToLocalTime(std::time_t(seconds), local) || local.tm_year + 1900 < kFirstDosYear) {
        time = 0;
        date = 1 << 5 | 1;
        return;
    }
    time = uint16_t(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    date = uint16_t((local.tm_year + 1900 - kFirstDosYear) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
}

}  // namespace

class ZipWriter::Source {
public:
    virtual ~Source() = default;
    // Up to `size` bytes into `data`; 0 at the end. Throws PublishError.
    virtual std::size_t Read(uint8_t* data, std::size_t size) = 0;
};

namespace {

class FileSource final : public ZipWriter::Source {
public:
    explicit FileSource(const std::string& path)
        : path_(path), file_(platform::OpenFileReader(platform::Utf8Path{path})) {
        if (file_ == nullptr) throw PublishError("cannot read " + path);
    }
    std::size_t Read(uint8_t* data, std::size_t size) override {
        const uint64_t left = file_->Size() - at_;
        const std::size_t n = left < size ? std::size_t(left) : size;
        if (n > 0 && !file_->ReadAt(at_, data, n)) throw PublishError("cannot read " + path_);
        at_ += n;
        return n;
    }

private:
    std::string path_;
    std::unique_ptr<platform::FileReader> file_;
    uint64_t at_ = 0;
};

class BytesSource final : public ZipWriter::Source {
public:
    explicit BytesSource(const std::string& bytes) : bytes_(bytes) {}
    std::size_t Read(uint8_t* data, std::size_t size) override {
        const std::size_t n = std::min(size, bytes_.size() - at_);
        std::memcpy(data, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

ZipWriter::ZipWriter(platform::CommittingWriter& out) : out_(out), input_(kBlockSize), output_(kBlockSize) {
    // Raw deflate: the archive's own records frame the data.
    if (deflateInit2(&stream_, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw PublishError("zlib cannot set up deflate");
}

ZipWriter::~ZipWriter() { deflateEnd(&stream_); }

void ZipWriter::Put(const void* data, std::size_t size) {
    if (!out_.Write(data, size)) throw PublishError("cannot write the archive");
    offset_ += size;
}

void ZipWriter::AddFile(const Entry& entry, const std::string& path) {
    FileSource source(path);
    Add(entry, source);
}

void ZipWriter::AddBytes(const Entry& entry, const std::string& bytes) {
    BytesSource source(bytes);
    Add(entry, source);
}

void ZipWriter::Add(const Entry& entry, Source& source) {
    if (entries_.size() >= kZip64Marker16) throw PublishError("an archive holds fewer than 65535 files");
    if (entry.name.size() > kZip64Marker16) throw PublishError(entry.name + ": the name is too long");
    Written written;
    written.entry = entry;
    written.offset = offset_;
    DosTime(entry.modified, written.dosTime, written.dosDate);
    Record local;
    local.U32(kLocalHeaderSignature).U16(kVersionNeeded).U16(kFlagDescriptor | kFlagUtf8Name).U16(kMethodDeflated);
    local.U16(written.dosTime).U16(written.dosDate).U32(0).U32(0).U32(0);
    local.U16(uint16_t(entry.name.size())).U16(0).Text(entry.name);
    Put(local.bytes);
    Deflate(source, written);
    if (written.size > kLimit32 || written.compressedSize > kLimit32 || offset_ > kLimit32)
        throw PublishError(entry.name + ": an archive of 4 GB or more is not written");
    Record descriptor;
    descriptor.U32(kDescriptorSignature).U32(written.crc).U32(uint32_t(written.compressedSize));
    descriptor.U32(uint32_t(written.size));
    Put(descriptor.bytes);
    entries_.push_back(written);
}

void ZipWriter::Deflate(Source& source, Written& written) {
    deflateReset(&stream_);
    uLong crc = crc32(0, nullptr, 0);
    int flush = Z_NO_FLUSH;
    while (flush != Z_FINISH) {
        const std::size_t n = source.Read(input_.data(), input_.size());
        crc = crc32(crc, input_.data(), uInt(n));
        written.size += n;
        flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
        stream_.next_in = input_.data();
        stream_.avail_in = uInt(n);
        int status = Z_OK;
        do {
            stream_.next_out = output_.data();
            stream_.avail_out = uInt(output_.size());
            status = deflate(&stream_, flush);
            if (status == Z_STREAM_ERROR) throw PublishError("zlib failed to deflate " + written.entry.name);
            const std::size_t produced = output_.size() - stream_.avail_out;
            Put(output_.data(), produced);
            written.compressedSize += produced;
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    }
    written.crc = uint32_t(crc);
}

void ZipWriter::Finish() {
    const uint64_t start = offset_;
    for (const Written& w : entries_) {
        Record central;
        central.U32(kCentralHeaderSignature).U16(kMadeByUnix).U16(kVersionNeeded);
        central.U16(kFlagDescriptor | kFlagUtf8Name).U16(kMethodDeflated).U16(w.dosTime).U16(w.dosDate);
        central.U32(w.crc).U32(uint32_t(w.compressedSize)).U32(uint32_t(w.size));
        central.U16(uint16_t(w.entry.name.size())).U16(0).U16(0).U16(0).U16(0);
        central.U32((kRegularFileType | (w.entry.mode & 0777)) << 16).U32(uint32_t(w.offset)).Text(w.entry.name);
        Put(central.bytes);
    }
    if (offset_ > kLimit32) throw PublishError("an archive of 4 GB or more is not written");
    const auto count = uint16_t(entries_.size());
    Record end;
    end.U32(kEndRecordSignature).U16(0).U16(0).U16(count).U16(count);
    end.U32(uint32_t(offset_ - start)).U32(uint32_t(start)).U16(0);
    Put(end.bytes);
}

}  // namespace publish
