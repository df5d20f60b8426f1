#pragma once
// SHA-256 worked out on a thread of its own, so that a download receives and
// writes on one core while its bytes are hashed on another. The bytes are
// copied into a few blocks of fixed size, which the thread hands back once
// hashed: the memory used does not grow with the size of what is hashed.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/crypto.h"

namespace update::trust {

class BackgroundSha256 {
public:
    BackgroundSha256();
    // Stops the thread; what it has not hashed yet is dropped.
    ~BackgroundSha256();
    BackgroundSha256(const BackgroundSha256&) = delete;
    BackgroundSha256& operator=(const BackgroundSha256&) = delete;

    // Waits only when every block is full and not yet hashed.
    void Add(const void* data, std::size_t size);
    // Waits until everything added is hashed: the digest, as platform::Sha256 gives it.
    std::optional<platform::Sha256Digest> Finish();

private:
    using Block = std::vector<char>;
    void HandOverFilling();
    void Run();
    // The next full block, or nothing once no more will come.
    std::optional<Block> NextFull();
    void GiveBack(Block block);

    platform::Sha256 sha256_;  // only the thread touches it until it ends
    Block filling_;            // only the adding side touches it
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Block> full_;
    std::vector<Block> spare_;
    bool ending_ = false;
    bool dropping_ = false;
    std::thread thread_;
};

}  // namespace update::trust
