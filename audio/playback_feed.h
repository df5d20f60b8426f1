#pragma once
#include <cstdint>
#include <span>

// What a player plays when it is not fed from a queue of blocks: 30 ms of
// samples at a time, made when the device wants them.
class PlaybackFeed {
public:
    static constexpr size_t kSamples = 240;

    virtual ~PlaybackFeed() = default;
    // The next 30 ms; false, with nothing written, when nothing is due (silence).
    virtual bool Fill(std::span<int16_t, kSamples> samples) = 0;
};
