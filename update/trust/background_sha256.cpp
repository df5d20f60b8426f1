#include "update/trust/background_sha256.h"

#include <algorithm>

namespace update::trust {

namespace {

// Large enough that a hand-over costs nothing next to hashing the block,
// small enough that the blocks stay a megabyte in all.
constexpr std::size_t kBlockSize = 256 * 1024;
constexpr int kBlocks = 4;

}  // namespace

BackgroundSha256::BackgroundSha256() {
    for (int i = 1; i < kBlocks; ++i) spare_.emplace_back().reserve(kBlockSize);
    filling_.reserve(kBlockSize);
    thread_ = std::thread([this] { Run(); });
}

BackgroundSha256::~BackgroundSha256() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        ending_ = dropping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BackgroundSha256::Add(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const std::size_t taken = std::min(size, kBlockSize - filling_.size());
        filling_.insert(filling_.end(), bytes, bytes + taken);
        bytes += taken;
        size -= taken;
        if (filling_.size() == kBlockSize) HandOverFilling();
    }
}

void BackgroundSha256::HandOverFilling() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !spare_.empty(); });
    full_.push_back(std::move(filling_));
    filling_ = std::move(spare_.back());
    spare_.pop_back();
    lock.unlock();
    changed_.notify_all();
}

std::optional<platform::Sha256Digest> BackgroundSha256::Finish() {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            if (!filling_.empty()) full_.push_back(std::move(filling_));
            ending_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    return sha256_.Finish();
}

void BackgroundSha256::Run() {
    while (std::optional<Block> block = NextFull()) {
        sha256_.Add(block->data(), block->size());
        block->clear();
        GiveBack(std::move(*block));
    }
}

std::optional<BackgroundSha256::Block> BackgroundSha256::NextFull() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !full_.empty() || ending_; });
    if (full_.empty() || dropping_) return std::nullopt;
    Block block = std::move(full_.front());
    full_.pop_front();
    return block;
}

void BackgroundSha256::GiveBack(Block block) {
    {
        std::lock_guard lock(mutex_);
        spare_.push_back(std::move(block));
    }
    changed_.notify_all();
}

}  // namespace update::trust
