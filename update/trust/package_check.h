#pragma once
// Checks a package against what its signed entry promises while the package
// downloads: its bytes are counted as they arrive and hashed beside the
// download on a thread of their own, so the file is never read a second time.
#include <cstddef>
#include <cstdint>

#include "update/trust/background_sha256.h"
#include "update/trust/manifest_attributes.h"
#include "update/trust/trust_problems.h"

namespace update::trust {

class PackageCheck {
public:
    explicit PackageCheck(const PackageDigest& expected) : expected_(expected) {}

    // False once more bytes have come than the entry promised: stop the
    // download there.
    bool Add(const void* data, std::size_t size);
    // After the last byte: None when exactly the promised bytes came.
    TrustProblem Finish();

private:
    PackageDigest expected_;
    uint64_t received_ = 0;
    bool overrun_ = false;
    BackgroundSha256 sha256_;
};

}  // namespace update::trust
