#pragma once
// The flags and counters that the updater's threads share. Each is written by
// one thread and read by others, so each is an atomic of its own.
#include <atomic>
#include <cstdint>

namespace update {

struct UpdateFlags {
    std::atomic<int> cancelRequested{0};   // user's cancel; downloads stop at the next block
    std::atomic<int> downloadFinished{0};  // the download stage is over, finished or cut short
    std::atomic<int> installFinished{0};   // every package installed
    std::atomic<int> packageDone{0};       // the last package download got through
    std::atomic<int> currentIndex{0};      // entry being downloaded or installed
    std::atomic<int> packageCount{0};      // number of entries
    std::atomic<int64_t> bytesReceived{0}; // body bytes of the download in progress
    std::atomic<int64_t> bytesExpected{-1};// its announced length, -1 when none
};

constexpr int kProgressRange = 1000;

// Position of a progress bar of range 0..1000: done * 1000 / count.
constexpr int ProgressPosition(int64_t done, int64_t count) {
    if (count <= 0 || done <= 0) return 0;
    return done >= count ? kProgressRange : int(done * kProgressRange / count);
}

}  // namespace update
