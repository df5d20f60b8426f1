// g729a encode|decode IN OUT: raw 16-bit little-endian mono 8000 Hz PCM <-> 10-byte frames.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "codec/codec.h"
#include "common/byte_order.h"
#include "platform/binary_stdio.h"
#include "common/tool_info.h"

namespace {

constexpr int kPcmFrameBytes = kSamplesPerFrame * 2;

int Fail(const std::string& message) {
    std::fprintf(stderr, "g729a: %s\n", message.c_str());
    return 1;
}

std::string Describe(const char* path) {
    return std::strcmp(path, "-") == 0 ? "standard input" : path;
}

bool ReadAll(const char* path, std::vector<uint8_t>& data, std::string& error) {
    const bool useStdin = std::strcmp(path, "-") == 0;
    std::FILE* f = useStdin ? stdin : std::fopen(path, "rb");
    if (f == nullptr) {
        error = "cannot open " + std::string(path) + ": " + std::strerror(errno);
        return false;
    }
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    const bool failed = std::ferror(f) != 0;
    if (!useStdin) std::fclose(f);
    if (failed) error = "cannot read " + Describe(path);
    return !failed;
}

bool WriteAll(const char* path, const std::vector<uint8_t>& data, std::string& error) {
    const bool useStdout = std::strcmp(path, "-") == 0;
    std::FILE* f = useStdout ? stdout : std::fopen(path, "wb");
    if (f == nullptr) {
        error = "cannot create " + std::string(path) + ": " + std::strerror(errno);
        return false;
    }
    bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = (std::fflush(f) == 0) && ok;
    if (!useStdout) ok = (std::fclose(f) == 0) && ok;
    if (!ok) error = "cannot write " + std::string(useStdout ? "standard output" : path);
    return ok;
}

// G.729 2.1, 4.3: the encoder from its initial state over whole frames.
// Samples are little-endian on the wire whatever the host order.
std::vector<uint8_t> Encode(const std::vector<uint8_t>& pcm) {
    const size_t frames = (pcm.size() + kPcmFrameBytes - 1) / kPcmFrameBytes;
    std::vector<uint8_t> out(frames * kBytesPerFrame);
    InitEncoder();
    for (size_t f = 0; f < frames; ++f) {
        int16_t samples[kSamplesPerFrame] = {};
        for (int i = 0; i < kSamplesPerFrame; ++i) {
            const size_t at = f * kPcmFrameBytes + 2 * i;
            if (at + 1 < pcm.size()) samples[i] = static_cast<int16_t>(common::GetLe16(&pcm[at]));
        }
        EncodeFrame(samples, out.data() + f * kBytesPerFrame);
    }
    return out;
}

// G.729 2.2, 4.3: the decoder from its initial state over whole frames.
std::vector<uint8_t> Decode(const std::vector<uint8_t>& bits) {
    const size_t frames = bits.size() / kBytesPerFrame;
    std::vector<uint8_t> out(frames * kPcmFrameBytes);
    InitDecoder();
    for (size_t f = 0; f < frames; ++f) {
        int16_t samples[kSamplesPerFrame];
        DecodeFrame(bits.data() + f * kBytesPerFrame, samples, 0);
        for (int i = 0; i < kSamplesPerFrame; ++i)
            common::PutLe16(&out[f * kPcmFrameBytes + 2 * i], static_cast<uint16_t>(samples[i]));
    }
    return out;
}

const char* const kUsage =
    "usage: g729a encode IN OUT   (16-bit little-endian mono 8000 Hz PCM -> frames)\n"
    "       g729a decode IN OUT   (10-byte frames -> PCM)\n"
    "       g729a --version | --help\n"
    "       IN or OUT may be - for standard input or output\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (PrintToolInfo(argc, argv, "g729a", kUsage)) return 0;
    if (argc != 4) return Usage();
    const std::string mode = argv[1];
    if (mode != "encode" && mode != "decode") return Usage();
    platform::SetBinaryStdio();

    std::vector<uint8_t> input;
    std::string error;
    if (!ReadAll(argv[2], input, error)) return Fail(error);
    std::vector<uint8_t> output;
    if (mode == "encode") {
        if (input.size() % 2 != 0)
            return Fail(Describe(argv[2]) + ": odd byte count " + std::to_string(input.size()) +
                        ", not 16-bit samples");
        output = Encode(input);
    } else {
        if (input.size() % kBytesPerFrame != 0)
            return Fail(Describe(argv[2]) + ": " + std::to_string(input.size()) +
                        " bytes is not a whole number of 10-byte frames");
        output = Decode(input);
    }
    if (!WriteAll(argv[3], output, error)) return Fail(error);
    return 0;
}
