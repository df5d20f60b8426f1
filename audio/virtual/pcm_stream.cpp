#include "audio/virtual/pcm_stream.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

PcmSource::PcmSource(std::vector<uint8_t> pcm) : pcm_(std::move(pcm)) {}

std::shared_ptr<PcmSource> PcmSource::FromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    std::vector<uint8_t> pcm((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return nullptr;
    pcm.resize(pcm.size() & ~size_t(1));  // whole samples only
    return std::make_shared<PcmSource>(std::move(pcm));
}

void PcmSource::Read(uint8_t* out, size_t size) {
    std::lock_guard guard(lock_);
    const size_t take = std::min(size, pcm_.size() - position_);
    std::memcpy(out, pcm_.data() + position_, take);
    std::memset(out + take, 0, size - take);
    position_ += take;
}

PcmSink::~PcmSink() {
    if (file_) std::fclose(file_);
}

std::shared_ptr<PcmSink> PcmSink::ToFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return nullptr;
    auto sink = std::make_shared<PcmSink>();
    sink->file_ = file;
    return sink;
}

void PcmSink::Write(const uint8_t* data, size_t size) {
    std::lock_guard guard(lock_);
    written_ += size;
    if (!file_) {
        played_.insert(played_.end(), data, data + size);
        return;
    }
    // Flushed at once, so that the file is whole however the host ends.
    std::fwrite(data, 1, size, file_);
    std::fflush(file_);
}

std::vector<uint8_t> PcmSink::Contents() const {
    std::lock_guard guard(lock_);
    return played_;
}

size_t PcmSink::BytesWritten() const {
    std::lock_guard guard(lock_);
    return written_;
}
