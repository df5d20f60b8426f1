#include "update/trust/manifest_attributes.h"

namespace update::trust {
namespace {

constexpr std::string_view kUtcTimePattern = "0000-00-00T00:00:00Z";  // "0": a digit
constexpr int kFirstYear = 1970;
constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kDaysBeforeMonth[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// Leap years from year 1 to `year`.
int LeapYearsThrough(int year) { return year / 4 - year / 100 + year / 400; }

int DaysInMonth(int year, int month) { return kDaysInMonth[month - 1] + (month == 2 && IsLeapYear(year)); }

int64_t DaysSince1970(int year, int month, int day) {
    const int64_t years =
        int64_t(year - kFirstYear) * 365 + LeapYearsThrough(year - 1) - LeapYearsThrough(kFirstYear - 1);
    return years + kDaysBeforeMonth[month - 1] + (month > 2 && IsLeapYear(year)) + day - 1;
}

// The number written at `text[at]` with `count` digits, the pattern checked already.
int Field(std::string_view text, size_t at, size_t count) {
    int value = 0;
    for (size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

bool MatchesPattern(std::string_view text) {
    if (text.size() != kUtcTimePattern.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (kUtcTimePattern[i] == '0' ? !IsDigit(text[i]) : text[i] != kUtcTimePattern[i]) return false;
    return true;
}

}  // namespace

std::optional<uint64_t> ParseDecimal(std::string_view text) {
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        const unsigned digit = unsigned(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<int64_t> ParseUtcTime(std::string_view text) {
    if (!MatchesPattern(text)) return std::nullopt;
    const int year = Field(text, 0, 4), month = Field(text, 5, 2), day = Field(text, 8, 2);
    const int hour = Field(text, 11, 2), minute = Field(text, 14, 2), second = Field(text, 17, 2);
    if (year < kFirstYear || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return std::nullopt;
    return ((DaysSince1970(year, month, day) * 24 + hour) * 60 + minute) * 60 + second;
}

std::optional<platform::Sha256Digest> ParseSha256(std::string_view text) {
    platform::Sha256Digest digest;
    if (text.size() != 2 * digest.size()) return std::nullopt;
    for (size_t i = 0; i < digest.size(); ++i) {
        const int high = HexValue(text[2 * i]), low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        digest[i] = uint8_t(high << 4 | low);
    }
    return digest;
}

Freshness CheckFreshness(const std::string* serial, const std::string* expires, uint64_t highestAccepted,
                         int64_t now) {
    if (!serial) return {0, TrustProblem::SerialMissing};
    const std::optional<uint64_t> value = ParseDecimal(*serial);
    if (!value) return {0, TrustProblem::SerialMalformed};
    const std::optional<int64_t> expiry = expires ? ParseUtcTime(*expires) : std::nullopt;
    if (expires && !expiry) return {0, TrustProblem::ExpiryMalformed};
    if (*value < highestAccepted) return {0, TrustProblem::SerialOlder};
    if (expiry && now >= *expiry) return {0, TrustProblem::Expired};
    return {*value, TrustProblem::None};
}

PackageDigestReading ReadPackageDigest(const std::string* size, const std::string* sha256) {
    if (!size) return {{}, TrustProblem::SizeMissing};
    if (!sha256) return {{}, TrustProblem::DigestMissing};
    const std::optional<uint64_t> bytes = ParseDecimal(*size);
    if (!bytes) return {{}, TrustProblem::SizeMalformed};
    const std::optional<platform::Sha256Digest> digest = ParseSha256(*sha256);
    if (!digest) return {{}, TrustProblem::DigestMalformed};
    return {{*bytes, *digest}, TrustProblem::None};
}

}  // namespace update::trust
