// Any text as the key file, as the signature file and as each attribute value
// of a signed manifest. What is accepted must read back as exactly its input:
// a signature re-encoded in DER gives the decoded bytes, a number or a time
// written again gives the text.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "tests/update/fuzz/fuzz_checks.h"
#include "update/trust/manifest_attributes.h"
#include "update/trust/signature_file.h"
#include "update/trust/strict_base64.h"
#include "update/trust/trusted_keys.h"

using update::fuzz::Check;
using update::trust::TrustProblem;

namespace {

void AppendInteger(std::string& der, const std::array<uint8_t, 32>& value) {
    size_t start = 0;
    while (start + 1 < value.size() && value[start] == 0) ++start;
    const bool pad = value[start] & 0x80;
    der += '\x02';
    der += char(value.size() - start + pad);
    if (pad) der += '\0';
    der.append(reinterpret_cast<const char*>(value.data()) + start, value.size() - start);
}

void CheckSignature(std::string_view text) {
    const auto read = update::trust::ReadSignatureFile(text);
    if (read.problem != TrustProblem::None) return;
    std::string integers;
    AppendInteger(integers, read.signature.r);
    AppendInteger(integers, read.signature.s);
    const std::string der = "\x30" + std::string(1, char(integers.size())) + integers;
    if (text.ends_with('\n')) text.remove_suffix(1);
    if (text.ends_with('\r')) text.remove_suffix(1);
    const auto bytes = update::trust::DecodeStrictBase64(text);
    Check(bytes && std::string(bytes->begin(), bytes->end()) == der);
}

void CheckKeys(std::string_view text) {
    const auto read = update::trust::ReadTrustedKeys(text);
    Check((read.problem == TrustProblem::None) == !read.keys.empty());
    Check(read.problem == TrustProblem::None || read.problem == TrustProblem::NoKey ? read.block == 0
                                                                                      : read.block > 0);
    Check(read.block <= text.size() / 5);  // every block takes a line of five dashes
}

void CheckAttributes(std::string_view text) {
    if (const auto value = update::trust::ParseDecimal(text)) {
        const std::string_view digits = text.substr(std::min(text.find_first_not_of('0'), text.size() - 1));
        Check(std::to_string(*value) == digits);
    }
    if (const auto seconds = update::trust::ParseUtcTime(text)) {
        using namespace std::chrono;
        const sys_seconds at{std::chrono::seconds{*seconds}};
        const sys_days day = floor<days>(at);
        const year_month_day date{day};
        const hh_mm_ss time{at - day};
        char written[32];
        std::snprintf(written, sizeof written, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()),
                      unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                      int(time.minutes().count()), int(time.seconds().count()));
        Check(text == written);
    }
    if (const auto digest = update::trust::ParseSha256(text)) {
        char hex[3];
        for (size_t i = 0; i < digest->size(); ++i) {
            std::snprintf(hex, sizeof hex, "%02x", (*digest)[i]);
            Check((text[2 * i] | 0x20) == hex[0] && (text[2 * i + 1] | 0x20) == hex[1]);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckSignature(text);
    CheckKeys(text);
    CheckAttributes(text);
    return 0;
}
