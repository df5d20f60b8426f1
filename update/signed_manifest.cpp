#include "update/signed_manifest.h"

#include "update/http_update.h"
#include "update/trust/manifest_attributes.h"
#include "update/trust/manifest_signature.h"

namespace update {

namespace {

SignedManifestReading Refused(trust::TrustProblem problem) {
    SignedManifestReading reading;
    reading.refusal.problem = problem;
    return reading;
}

SignedManifestReading Malformed() {
    SignedManifestReading reading;
    reading.result = SignedManifestResult::Malformed;
    return reading;
}

// Every entry's promise about its package; the entries are the group's
// children one for one, as the manifest was read from the same tree.
trust::TrustProblem ReadDigests(const platform::XmlNode& document, std::vector<UpdateEntry>& entries) {
    const std::vector<platform::XmlNode>& nodes = document.children.front().children;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const trust::PackageDigestReading promise =
            trust::ReadPackageDigest(FindAttribute(nodes[i], "size"), FindAttribute(nodes[i], "sha256"));
        if (promise.problem != trust::TrustProblem::None) return promise.problem;
        entries[i].digest = promise.digest;
    }
    return trust::TrustProblem::None;
}

}  // namespace

SignedManifestReading ReadSignedManifest(const SignedManifestCheck& check, std::string_view bytes,
                                         std::string_view signature) {
    if (const trust::TrustProblem problem = trust::CheckManifestSignature(check.keys, bytes, signature);
        problem != trust::TrustProblem::None)
        return Refused(problem);
    // Read as the text fetch of an updater without a key reads it, so that
    // both take the same entries from it.
    const std::optional<platform::XmlNode> document = platform::ParseXmlDocument(WithoutLineFeeds(bytes));
    if (!document) return Malformed();
    return ReadSignedManifestTree(*document, check.highestAccepted, check.now);
}

SignedManifestReading ReadSignedManifestTree(const platform::XmlNode& document, uint64_t highestAccepted,
                                             int64_t now) {
    SignedManifestReading reading;
    if (!ReadManifestTree(document, reading.manifest)) return Malformed();
    const trust::Freshness freshness = trust::CheckFreshness(
        FindAttribute(document, "serial"), FindAttribute(document, "expires"), highestAccepted, now);
    if (freshness.problem != trust::TrustProblem::None) return Refused(freshness.problem);
    if (const trust::TrustProblem problem = ReadDigests(document, reading.manifest.entries);
        problem != trust::TrustProblem::None)
        return Refused(problem);
    reading.result = SignedManifestResult::Accepted;
    reading.serial = freshness.serial;
    return reading;
}

}  // namespace update
