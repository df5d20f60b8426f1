#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// What a virtual microphone hears: the given PCM bytes once, then silence.
// It carries on where it stopped when a device is opened again.
class PcmSource {
public:
    explicit PcmSource(std::vector<uint8_t> pcm);
    // The whole file; null when it cannot be read.
    static std::shared_ptr<PcmSource> FromFile(const std::string& path);

    void Read(uint8_t* out, size_t size);

private:
    std::mutex lock_;
    std::vector<uint8_t> pcm_;
    size_t position_ = 0;
};

// Where a virtual speaker plays to: a file written as the audio is played,
// or a buffer kept in memory.
class PcmSink {
public:
    PcmSink() = default;
    ~PcmSink();
    PcmSink(const PcmSink&) = delete;
    PcmSink& operator=(const PcmSink&) = delete;
    // Creates or truncates the file; null when that fails.
    static std::shared_ptr<PcmSink> ToFile(const std::string& path);

    void Write(const uint8_t* data, size_t size);
    // Everything played so far into a buffer sink.
    std::vector<uint8_t> Contents() const;
    size_t BytesWritten() const;

private:
    mutable std::mutex lock_;
    std::FILE* file_ = nullptr;
    std::vector<uint8_t> played_;
    size_t written_ = 0;
};
