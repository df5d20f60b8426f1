// TLS with Schannel through SSPI. Schannel's own certificate validation is
// turned off (under Wine it does none anyway): the server's certificate is
// checked by server_certificate_win.cpp once the handshake is through, before
// the session is handed out.
#define SECURITY_WIN32
#define SCHANNEL_USE_BLACKLISTS  // SCH_CREDENTIALS and TLS_PARAMETERS
#include <winsock2.h>
#include <windows.h>
#include <subauth.h>
#include <schannel.h>
#include <security.h>

#include <algorithm>
#include <cstring>

#include "platform/tls_session.h"
#include "platform/win/server_certificate_win.h"
#include "platform/win/wide_text.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kContextRequirements = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                       ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
constexpr DWORD kCredentialFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
constexpr DWORD kAcceptedProtocols = SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT;
// More than any handshake message or record the server may send before it is understood.
constexpr std::size_t kLargestPending = 256 * 1024;
constexpr std::size_t kReceiveChunk = 16 * 1024 + 512;

// Whether `bytes`, received at a record boundary, may begin a TLS record: a
// content type of 20 to 23 and major version 3. Wine's Schannel waits for the
// length a plain-text reply seems to give; this ends such a handshake at once.
bool MayBeginRecord(const std::string& bytes) {
    unsigned char type = bytes.empty() ? 22 : static_cast<unsigned char>(bytes[0]);
    return type >= 20 && type <= 23 && (bytes.size() < 2 || bytes[1] == 3);
}

Milliseconds Left(Clock::time_point deadline) {
    return std::chrono::duration_cast<Milliseconds>(deadline - Clock::now());
}

class SchannelSession final : public TlsSession {
public:
    SchannelSession(TcpSocket& socket, std::string serverName)
        : socket_(socket), serverName_(std::move(serverName)), targetName_(GbkToWide(serverName_)) {}

    ~SchannelSession() override {
        if (haveContext_ && !broken_) SendCloseNotify();
        if (haveContext_) DeleteSecurityContext(&context_);
        if (haveCredentials_) FreeCredentialsHandle(&credentials_);
    }

    bool Start(Milliseconds timeout) {
        auto deadline = Clock::now() + timeout;
        return AcquireCredentials() && Handshake(deadline) && CheckSession() &&
               QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) == SEC_E_OK;
    }

    long SendSome(const char* data, std::size_t length, Milliseconds timeout) override {
        if (broken_) return -1;
        std::size_t piece = std::min<std::size_t>(length, sizes_.cbMaximumMessage);
        std::string record(sizes_.cbHeader + piece + sizes_.cbTrailer, '\0');
        std::memcpy(&record[sizes_.cbHeader], data, piece);
        SecBuffer buffers[4] = {{sizes_.cbHeader, SECBUFFER_STREAM_HEADER, &record[0]},
                                {static_cast<ULONG>(piece), SECBUFFER_DATA, &record[sizes_.cbHeader]},
                                {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, &record[sizes_.cbHeader + piece]},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
        if (EncryptMessage(&context_, 0, &message, 0) != SEC_E_OK) return Broken();
        std::size_t total = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
        unsent_.append(record.data(), total);
        return SendUnsent(Clock::now() + timeout) ? static_cast<long>(piece) : Broken();
    }

    long ReceiveSome(char* buffer, std::size_t capacity, Milliseconds timeout) override {
        auto deadline = Clock::now() + timeout;
        while (plain_.empty()) {
            if (broken_) return -1;
            if (closed_) return 0;
            Decrypted result = pending_.empty() ? Decrypted::NeedMore : Decrypt(deadline);
            if (result == Decrypted::Failed) return Broken();
            if (result == Decrypted::Closed) closed_ = true;
            if (result != Decrypted::NeedMore) continue;
            long got = ReceiveRaw(deadline);
            if (got < 0) return -1;
            closed_ = got == 0;  // the connection ended: closed, as a plain one would be
        }
        std::size_t taken = std::min(capacity, plain_.size());
        plain_.copy(buffer, taken);
        plain_.erase(0, taken);
        return static_cast<long>(taken);
    }

private:
    enum class Decrypted { Data, NeedMore, Closed, Failed };

    // TLS 1.3 where the system offers it (SCH_CREDENTIALS), else SCHANNEL_CRED with TLS 1.2.
    bool AcquireCredentials() {
        TLS_PARAMETERS parameters{};
        parameters.grbitDisabledProtocols = ~kAcceptedProtocols;
        SCH_CREDENTIALS modern{};
        modern.dwVersion = SCH_CREDENTIALS_VERSION;
        modern.dwFlags = kCredentialFlags;
        modern.cTlsParameters = 1;
        modern.pTlsParameters = &parameters;
        if (Acquire(&modern)) return true;
        SCHANNEL_CRED legacy{};
        legacy.dwVersion = SCHANNEL_CRED_VERSION;
        legacy.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
        legacy.dwFlags = kCredentialFlags;
        return Acquire(&legacy);
    }

    bool Acquire(void* credentialData) {
        TimeStamp expiry;
        haveCredentials_ = AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                                     nullptr, credentialData, nullptr, nullptr, &credentials_,
                                                     &expiry) == SEC_E_OK;
        return haveCredentials_;
    }

    // Runs InitializeSecurityContext over what the server sent (in pending_)
    // until the handshake is through; the start of a first handshake, or one
    // the server asked for after it (SEC_I_RENEGOTIATE).
    bool Handshake(Clock::time_point deadline) {
        for (;;) {
            SecBuffer input[2] = {{static_cast<ULONG>(pending_.size()), SECBUFFER_TOKEN, pending_.data()},
                                  {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc inputs{SECBUFFER_VERSION, 2, input};
            SecBuffer output[1] = {{0, SECBUFFER_TOKEN, nullptr}};
            SecBufferDesc outputs{SECBUFFER_VERSION, 1, output};
            ULONG attributes = 0;
            SECURITY_STATUS status = InitializeSecurityContextW(
                &credentials_, haveContext_ ? &context_ : nullptr, targetName_.data(), kContextRequirements, 0, 0,
                haveContext_ ? &inputs : nullptr, 0, haveContext_ ? nullptr : &context_, &outputs, &attributes, nullptr);
            if (!haveContext_ && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) haveContext_ = true;
            KeepToken(output[0]);
            if (status == SEC_E_INCOMPLETE_MESSAGE) {
                if (!MayBeginRecord(pending_) || ReceiveRaw(deadline) <= 0) return false;
                continue;
            }
            if (status == SEC_I_INCOMPLETE_CREDENTIALS) continue;  // asked for a client certificate: go on without
            if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) return false;
            KeepExtra(input[1]);
            if (status == SEC_E_OK) return true;
            if (pending_.empty() && ReceiveRaw(deadline) <= 0) return false;
            if (!MayBeginRecord(pending_)) return false;
        }
    }

    // TLS 1.2 at least, and a server certificate that passes our own check.
    bool CheckSession() {
        SecPkgContext_ConnectionInfo connection{};
        if (QueryContextAttributesW(&context_, SECPKG_ATTR_CONNECTION_INFO, &connection) != SEC_E_OK ||
            (connection.dwProtocol & kAcceptedProtocols) == 0)
            return false;
        PCCERT_CONTEXT certificate = nullptr;
        if (QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK ||
            !certificate)
            return false;
        bool trusted = IsTrustedServerCertificate(certificate, serverName_);
        CertFreeCertificateContext(certificate);
        return trusted;
    }

    Decrypted Decrypt(Clock::time_point deadline) {
        SecBuffer buffers[4] = {{static_cast<ULONG>(pending_.size()), SECBUFFER_DATA, pending_.data()},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
        SECURITY_STATUS status = DecryptMessage(&context_, &message, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) return Decrypted::NeedMore;
        if (status == SEC_I_CONTEXT_EXPIRED) return Decrypted::Closed;
        if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) return Decrypted::Failed;
        std::string extra;
        for (const SecBuffer& buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA) plain_.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
            if (buffer.BufferType == SECBUFFER_EXTRA) extra.assign(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
        }
        pending_ = std::move(extra);
        // Messages of the handshake after it (TLS 1.3 tickets, a renegotiation):
        // the server is checked again once they are through.
        if (status == SEC_I_RENEGOTIATE && !(Handshake(deadline) && CheckSession())) return Decrypted::Failed;
        return Decrypted::Data;
    }

    void KeepExtra(const SecBuffer& extra) {
        if (extra.BufferType == SECBUFFER_EXTRA && extra.cbBuffer <= pending_.size())
            pending_.erase(0, pending_.size() - extra.cbBuffer);
        else
            pending_.clear();
    }

    // A handshake token waits for the next send or receive, so that the
    // handshake's last flight travels with the first command after STARTTLS,
    // not as a small segment of its own that waits out the server's delayed
    // acknowledgement (some 40 ms).
    void KeepToken(SecBuffer& token) {
        if (!token.pvBuffer) return;
        unsent_.append(static_cast<const char*>(token.pvBuffer), token.cbBuffer);
        FreeContextBuffer(token.pvBuffer);
    }

    bool SendUnsent(Clock::time_point deadline) {
        bool sent = SendRaw(unsent_.data(), unsent_.size(), deadline);
        unsent_.clear();
        return sent;
    }

    bool SendRaw(const char* data, std::size_t length, Clock::time_point deadline) {
        while (length > 0) {
            long sent = socket_.SendSome(data, length, Left(deadline));
            if (sent <= 0) return false;
            data += sent;
            length -= static_cast<std::size_t>(sent);
        }
        return true;
    }

    // Sends what waits for the server, then appends what arrives to pending_:
    // the bytes, 0 at the end of the connection, -1 on an error or time-out.
    long ReceiveRaw(Clock::time_point deadline) {
        if (pending_.size() >= kLargestPending || !SendUnsent(deadline)) return -1;
        char chunk[kReceiveChunk];
        long got = socket_.ReceiveSome(chunk, sizeof chunk, Left(deadline));
        if (got > 0) pending_.append(chunk, static_cast<std::size_t>(got));
        return got;
    }

    // close_notify, where it can go out at once.
    void SendCloseNotify() {
        DWORD type = SCHANNEL_SHUTDOWN;
        SecBuffer control{sizeof type, SECBUFFER_TOKEN, &type};
        SecBufferDesc controls{SECBUFFER_VERSION, 1, &control};
        if (ApplyControlToken(&context_, &controls) != SEC_E_OK) return;
        SecBuffer output{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outputs{SECBUFFER_VERSION, 1, &output};
        ULONG attributes = 0;
        InitializeSecurityContextW(&credentials_, &context_, targetName_.data(), kContextRequirements, 0, 0, nullptr, 0,
                                   nullptr, &outputs, &attributes, nullptr);
        KeepToken(output);
        SendUnsent(Clock::now());
    }

    long Broken() {
        broken_ = true;
        return -1;
    }

    TcpSocket& socket_;
    std::string serverName_;
    std::wstring targetName_;
    CredHandle credentials_{};
    CtxtHandle context_{};
    bool haveCredentials_ = false;
    bool haveContext_ = false;
    SecPkgContext_StreamSizes sizes_{};
    std::string pending_;  // received from the server, not yet taken by Schannel
    std::string plain_;    // decrypted, not yet handed out
    std::string unsent_;   // for the server, not yet sent: handshake tokens, then a record
    bool closed_ = false;
    bool broken_ = false;
};

}  // namespace

std::unique_ptr<TlsSession> StartTlsSession(TcpSocket& socket, const std::string& serverName, Milliseconds timeout) {
    auto session = std::make_unique<SchannelSession>(socket, serverName);
    if (!session->Start(timeout)) return nullptr;
    return session;
}

// Schannel keeps nothing per thread that a thread must free.
void ReleaseTlsThreadState() {}

}  // namespace platform
