#include "update/client_trust.h"

#include "platform/file_system.h"
#include "update/trust/manifest_attributes.h"

namespace update {

namespace {

// A key file holds a few PEM blocks of some 180 bytes each.
constexpr std::size_t kMaxKeyFileBytes = 64 * 1024;
// A 64-bit number has twenty digits at most.
constexpr std::size_t kMaxSerialFileBytes = 20;
constexpr char kSerialSuffix[] = ".~serial";

}  // namespace

ClientTrust::ClientTrust(const std::optional<std::string>& clientFolder, char separator) {
    if (!clientFolder) return;
    const std::string path = *clientFolder + separator + trust::kTrustedKeysFile;
    if (!platform::PathExists(path)) return;
    required_ = true;
    const std::optional<std::string> text = platform::ReadWholeFile(path, kMaxKeyFileBytes);
    keys_ = text ? trust::ReadTrustedKeys(*text) : trust::TrustedKeys{{}, trust::TrustProblem::KeyFileUnreadable, 0};
}

std::optional<uint64_t> ReadAcceptedSerial(const std::string& path) {
    if (!platform::PathExists(path)) return 0;
    const std::optional<std::string> text = platform::ReadWholeFile(path, kMaxSerialFileBytes);
    if (!text) return std::nullopt;
    return trust::ParseDecimal(*text);
}

bool WriteAcceptedSerial(const std::string& path, uint64_t serial) {
    const std::string text = std::to_string(serial);
    const std::unique_ptr<platform::CommittingWriter> writer = platform::CreateCommittingWriter(path, kSerialSuffix);
    return writer != nullptr && writer->Write(text.data(), text.size()) &&
           writer->Commit({}) == platform::CommitResult::Done;
}

}  // namespace update
