// TLS with OpenSSL (libssl3), whose records travel through the socket's own
// bounded sends and receives.
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <string>

#include "platform/ip_address_text.h"
#include "platform/tls_session.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// Four records' worth of plain text per send, so that each send's time-out
// covers 64 KB and not a whole message.
constexpr std::size_t kLargestSend = 4 * 16384;

// What OpenSSL's reads and writes reach: the socket, and the deadline of the
// call in progress. OpenSSL writes one record at a time; the records are kept
// and go to the socket together, which saves the socket, and the server
// reading it, three wake-ups in four.
struct SocketLink {
    TcpSocket* socket;
    Clock::time_point deadline;
    std::string pending;

    Milliseconds Left() const { return std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()); }

    bool Flush() {
        std::size_t at = 0;
        long sent = 1;
        while (at < pending.size() && sent > 0) {
            sent = socket->SendSome(pending.data() + at, pending.size() - at, Left());
            at += sent > 0 ? static_cast<std::size_t>(sent) : 0;
        }
        pending.clear();
        return sent > 0;
    }
};

SocketLink& LinkOf(BIO* bio) { return *static_cast<SocketLink*>(BIO_get_data(bio)); }

int LinkWrite(BIO* bio, const char* data, int length) {
    BIO_clear_retry_flags(bio);
    LinkOf(bio).pending.append(data, static_cast<std::size_t>(length));
    return length;
}

// What was written goes first: the server answers nothing it has not had.
int LinkRead(BIO* bio, char* buffer, int capacity) {
    BIO_clear_retry_flags(bio);
    SocketLink& link = LinkOf(bio);
    if (!link.Flush()) return -1;
    long got = link.socket->ReceiveSome(buffer, static_cast<std::size_t>(capacity), link.Left());
    return static_cast<int>(got);  // 0: the server closed the connection
}

// A flush sends nothing yet: what OpenSSL flushes goes out before the next
// read, or with the next send. So the handshake's last flight travels with the
// first command after STARTTLS, not as a small segment of its own that waits
// out the server's delayed acknowledgement (some 40 ms).
long LinkControl(BIO*, int command, long, void*) { return command == BIO_CTRL_FLUSH ? 1 : 0; }

BIO_METHOD* LinkMethod() {
    static BIO_METHOD* method = [] {
        BIO_METHOD* made = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "ziro socket");
        if (made) {
            BIO_meth_set_write(made, LinkWrite);
            BIO_meth_set_read(made, LinkRead);
            BIO_meth_set_ctrl(made, LinkControl);
        }
        return made;
    }();
    return method;
}

// The system's trust store, TLS 1.2 at least, the peer's chain checked during the handshake.
SSL_CTX* MakeContext() {
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    if (!context) return nullptr;
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    // The dialogue itself says where it ends; a server that closes without
    // close_notify has closed, as on a plain connection.
    SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
    if (SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION) != 1 ||
        SSL_CTX_set_default_verify_paths(context) != 1) {
        SSL_CTX_free(context);
        return nullptr;
    }
    return context;
}

class OpenSslSession final : public TlsSession {
public:
    explicit OpenSslSession(TcpSocket& socket) : link_{&socket, {}, {}} {}

    ~OpenSslSession() override {
        if (ssl_ && established_) {
            link_.deadline = Clock::now();
            SSL_shutdown(ssl_);
            link_.Flush();
        }
        SSL_free(ssl_);  // frees the link's BIO too
        SSL_CTX_free(context_);
        ERR_clear_error();
    }

    bool Handshake(const std::string& serverName, Milliseconds timeout) {
        context_ = MakeContext();
        ssl_ = context_ ? SSL_new(context_) : nullptr;
        BIO* bio = ssl_ && LinkMethod() ? BIO_new(LinkMethod()) : nullptr;
        if (!bio || !ExpectServer(serverName)) {
            BIO_free(bio);
            return false;
        }
        BIO_set_data(bio, &link_);
        BIO_set_init(bio, 1);
        SSL_set_bio(ssl_, bio, bio);
        link_.deadline = Clock::now() + timeout;
        established_ = SSL_connect(ssl_) == 1 && SSL_get_verify_result(ssl_) == X509_V_OK &&
                       SSL_get0_peer_certificate(ssl_) != nullptr;
        return established_;
    }

    long SendSome(const char* data, std::size_t length, Milliseconds timeout) override {
        link_.deadline = Clock::now() + timeout;
        std::size_t written = 0;
        if (SSL_write_ex(ssl_, data, std::min(length, kLargestSend), &written) == 1 && link_.Flush())
            return static_cast<long>(written);
        return Failed();
    }

    long ReceiveSome(char* buffer, std::size_t capacity, Milliseconds timeout) override {
        link_.deadline = Clock::now() + timeout;
        std::size_t got = 0;
        if (SSL_read_ex(ssl_, buffer, capacity, &got) == 1) return static_cast<long>(got);
        if (SSL_get_error(ssl_, 0) == SSL_ERROR_ZERO_RETURN) return 0;
        return Failed();
    }

private:
    // SNI and the name the certificate must carry; an IPv4 address is matched
    // against the certificate's IP entries and sent as no SNI (RFC 6066 section 3).
    bool ExpectServer(const std::string& serverName) {
        if (auto address = ParseDottedIpv4(serverName))
            return X509_VERIFY_PARAM_set1_ip(SSL_get0_param(ssl_), address->data(), address->size()) == 1;
        return SSL_set_tlsext_host_name(ssl_, serverName.c_str()) == 1 && SSL_set1_host(ssl_, serverName.c_str()) == 1;
    }

    // A session that failed once sends no close_notify.
    long Failed() {
        established_ = false;
        ERR_clear_error();
        return -1;
    }

    SocketLink link_;
    SSL_CTX* context_ = nullptr;
    SSL* ssl_ = nullptr;
    bool established_ = false;
};

}  // namespace

std::unique_ptr<TlsSession> StartTlsSession(TcpSocket& socket, const std::string& serverName, Milliseconds timeout) {
    auto session = std::make_unique<OpenSslSession>(socket);
    if (!session->Handshake(serverName, timeout)) return nullptr;
    return session;
}

void ReleaseTlsThreadState() { OPENSSL_thread_stop(); }

}  // namespace platform
