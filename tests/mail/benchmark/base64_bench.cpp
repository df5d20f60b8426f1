// Encodes a file with the library's base64 content coder several times and
// prints the best throughput in MB/s of input.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "mail/coders/content_coder_registry.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: mail_base64_bench FILE [ROUNDS]\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    double best = 1e9;
    std::size_t written = 0;
    for (int round = 0; round < rounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        auto coder = ziromail::ContentCoderRegistry::Instance().Create("base64", content.data(), content.size(), true);
        std::string out(coder->OutputLength(), '\0');
        written = coder->Encode(out.data(), out.size());
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("%zu bytes -> %zu characters, best of %d: %.3f s, %.0f MB/s\n", content.size(), written, rounds, best,
                content.size() / best / 1e6);
    return 0;
}
