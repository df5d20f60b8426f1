#pragma once
// The attributes a signed manifest adds, read from their values as the XML
// parser hands them over: on the document element `serial` (decimal) and
// `expires` (UTC, "YYYY-MM-DDThh:mm:ssZ"); on every entry `size` (decimal
// bytes) and `sha256` (64 hexadecimal digits, either case). Updaters without
// a key read none of them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/crypto.h"
#include "update/trust/trust_problems.h"

namespace update::trust {

// Decimal digits only (no sign, no space); nothing when the value does not
// fit 64 bits.
std::optional<uint64_t> ParseDecimal(std::string_view text);
// "YYYY-MM-DDThh:mm:ssZ" from 1970 to 9999 as seconds since 1970-01-01
// 00:00:00 UTC; every field within its range, the day within its month.
std::optional<int64_t> ParseUtcTime(std::string_view text);
std::optional<platform::Sha256Digest> ParseSha256(std::string_view text);

// The document element's attributes (null: absent) against the highest serial
// this client folder accepted and the current time (seconds since 1970). An
// equal serial is taken: it is the same manifest fetched again. The manifest
// has expired at its `expires` time.
struct Freshness {
    uint64_t serial = 0;  // the manifest's, to be kept once the whole manifest is accepted
    TrustProblem problem = TrustProblem::None;
};
Freshness CheckFreshness(const std::string* serial, const std::string* expires, uint64_t highestAccepted,
                         int64_t now);

// What an entry promises about its package.
struct PackageDigest {
    uint64_t size = 0;
    platform::Sha256Digest sha256{};
};
struct PackageDigestReading {
    PackageDigest digest;  // only when problem is None
    TrustProblem problem = TrustProblem::None;
};
// An entry's `size` and `sha256` attributes (null: absent); both are required.
PackageDigestReading ReadPackageDigest(const std::string* size, const std::string* sha256);

}  // namespace update::trust
