#include "platform/win/server_certificate_win.h"

#include <cstring>

#include "platform/ip_address_text.h"
#include "platform/win/wide_text.h"

namespace platform {

namespace {

// SECURITY_FLAG_IGNORE_CERT_CN_INVALID of the SSL policy (the same bit as in wininet.h).
constexpr DWORD kIgnoreServerName = 0x00001000;

// The chain to a trusted root for server authentication. Wine's SSL policy
// passed a chain from an untrusted issuer, so the chain's own status is read too.
bool BuildTrustedChain(PCCERT_CONTEXT certificate, PCCERT_CHAIN_CONTEXT& chain) {
    LPSTR usages[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA parameters{};
    parameters.cbSize = sizeof parameters;
    parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
    parameters.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &parameters, 0, nullptr,
                                 &chain))
        return false;
    return chain->TrustStatus.dwErrorStatus == CERT_TRUST_NO_ERROR;
}

// The SSL policy for a server, with `serverName` (none: the name is not its to check).
bool SslPolicyAccepts(PCCERT_CHAIN_CONTEXT chain, const wchar_t* serverName) {
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = serverName ? 0 : kIgnoreServerName;
    ssl.pwszServerName = const_cast<wchar_t*>(serverName);
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    return CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status) && status.dwError == 0;
}

// Wine's SSL policy refused an IP entry that matches, so addresses are compared here.
bool HasIpAddress(PCCERT_CONTEXT certificate, const Ipv4Bytes& address) {
    const CERT_INFO* info = certificate->pCertInfo;
    PCERT_EXTENSION extension = CertFindExtension(szOID_SUBJECT_ALT_NAME2, info->cExtension, info->rgExtension);
    CERT_ALT_NAME_INFO* names = nullptr;
    DWORD size = 0;
    if (!extension || !CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                                           extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names, &size))
        return false;
    bool found = false;
    for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && entry.IPAddress.cbData == address.size() &&
                std::memcmp(entry.IPAddress.pbData, address.data(), address.size()) == 0;
    }
    LocalFree(names);
    return found;
}

}  // namespace

bool IsTrustedServerCertificate(PCCERT_CONTEXT certificate, const std::string& serverName) {
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    bool trusted = BuildTrustedChain(certificate, chain);
    if (trusted) {
        auto address = ParseDottedIpv4(serverName);
        trusted = address ? SslPolicyAccepts(chain, nullptr) && HasIpAddress(certificate, *address)
                          : SslPolicyAccepts(chain, GbkToWide(serverName).c_str());
    }
    if (chain) CertFreeCertificateChain(chain);
    return trusted;
}

}  // namespace platform
