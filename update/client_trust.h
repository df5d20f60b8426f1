#pragma once
// What a client folder trusts, read once when the updater starts: with no key
// file, updates are taken as they always were; with one, only signed ones.
#include <cstddef>
#include <optional>
#include <string>

#include "update/trust/trust_problems.h"
#include "update/trust/trusted_keys.h"

namespace update {

// Why a signed manifest or package was refused; `keyBlock` names the key
// file's block (from 1) that a key file problem is about.
struct TrustRefusal {
    trust::TrustProblem problem = trust::TrustProblem::None;
    std::size_t keyBlock = 0;

    bool Refused() const { return problem != trust::TrustProblem::None; }
    // The reason as the updater shows it (GBK); empty when nothing was refused.
    std::string Text() const { return trust::TrustProblemText(problem, keyBlock); }
};

class ClientTrust {
public:
    // Reads the folder's key file when it is there; no folder, no key file.
    ClientTrust(const std::optional<std::string>& clientFolder, char separator);

    bool Required() const { return required_; }
    // The keys; a key file that is there but cannot be used has its problem
    // here and no keys, so that every manifest is refused.
    const trust::TrustedKeys& Keys() const { return keys_; }

private:
    bool required_ = false;
    trust::TrustedKeys keys_;
};

// The highest manifest serial the folder has accepted: 0 when the file is not
// there; nothing when it is there but unreadable or not a decimal number.
std::optional<uint64_t> ReadAcceptedSerial(const std::string& path);
// Replaces the file at once (never half written); false when it could not.
bool WriteAcceptedSerial(const std::string& path, uint64_t serial);

}  // namespace update
