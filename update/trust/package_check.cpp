#include "update/trust/package_check.h"

namespace update::trust {

bool PackageCheck::Add(const void* data, std::size_t size) {
    if (overrun_ || size > expected_.size - received_) {
        overrun_ = true;
        return false;
    }
    received_ += size;
    sha256_.Add(data, size);
    return true;
}

TrustProblem PackageCheck::Finish() {
    if (overrun_ || received_ != expected_.size) return TrustProblem::PackageSizeDiffers;
    const std::optional<platform::Sha256Digest> digest = sha256_.Finish();
    if (!digest) return TrustProblem::HashFailed;
    return *digest == expected_.sha256 ? TrustProblem::None : TrustProblem::PackageDigestDiffers;
}

}  // namespace update::trust
