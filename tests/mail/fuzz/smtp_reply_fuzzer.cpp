// Plays any bytes as the server's side of a send job, split into pieces at any
// point: each receive of the client takes the next piece (at most what its
// buffer holds; the rest waits for the next receive, as TCP would keep it).
// Input: the server's bytes, where 0xFF starts a mark: 0xFF 0xFF is a 0xFF
// byte, 0xFF 0x00 a receive that fails, 0xFF 0x01 a send that fails, 0xFF 0x03
// a TLS handshake that fails, and 0xFF with anything else ends a piece. After
// the input the server has closed. Each input is played on the plain port and
// on both TLS ports (where the handshake only marks the channel secure).
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>

#include "mail/api/mail_job.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

struct Piece {
    enum Kind { Bytes, ReceiveError, SendError, HandshakeError } kind = Bytes;
    std::string bytes;
};

std::deque<Piece> Pieces(const uint8_t* data, size_t size) {
    std::deque<Piece> pieces(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != 0xFF || i + 1 == size) {
            pieces.back().bytes += char(data[i]);
            continue;
        }
        const uint8_t mark = data[++i];
        if (mark == 0xFF) {
            pieces.back().bytes += char(0xFF);
        } else {
            if (mark <= 1 || mark == 3)
                pieces.push_back({mark == 0 ? Piece::ReceiveError : mark == 1 ? Piece::SendError : Piece::HandshakeError, {}});
            pieces.emplace_back();
        }
    }
    return pieces;
}

// A server that answers from the pieces; checks that the client speaks in lock
// step: before a receive, one whole command line (or the message), or nothing
// when it waits for the greeting or for more of a reply.
class ScriptedChannel final : public ziromail::SmtpChannel {
public:
    explicit ScriptedChannel(std::deque<Piece> pieces) : pieces_(std::move(pieces)) {}

    bool Open(const std::string&, int, platform::Milliseconds) override { return true; }

    long SendSome(const char* data, size_t length, platform::Milliseconds) override {
        if (tlsFailed_) return -1;
        // The password (and all that follows) only ever goes over TLS where the port asks for it.
        Check(secure_ || std::string_view(data, length) != "auth login\r\n" || !tlsRequired_);
        if (!pieces_.empty() && pieces_.front().kind == Piece::SendError) {
            pieces_.pop_front();
            return -1;
        }
        Check(!quitSent_);
        // Partial sends, so that the sending loop is exercised too.
        const size_t sent = length < 1000 ? length : 1000;
        pending_.append(data, sent);
        transcript_.append(data, sent);
        quitSent_ = pending_ == "quit\r\n";
        return long(sent);
    }

    long ReceiveSome(char* buffer, size_t capacity, platform::Milliseconds timeout) override {
        if (tlsFailed_) return -1;
        // A look at what is already there: the rest of the piece that came last, else nothing.
        if (timeout.count() == 0 && (pieces_.empty() || !partlyRead_)) return -1;
        Check(pending_.empty() || pending_.find("\r\n") == pending_.size() - 2 || pending_.ends_with("\r\n.\r\n"));
        if (!pending_.empty()) ++commands_;
        pending_.clear();
        if (pieces_.empty()) return 0;
        Piece& piece = pieces_.front();
        if (piece.kind == Piece::ReceiveError) {
            pieces_.pop_front();
            return -1;
        }
        const size_t n = piece.bytes.size() < capacity ? piece.bytes.size() : capacity;
        piece.bytes.copy(buffer, n);
        piece.bytes.erase(0, n);
        partlyRead_ = !piece.bytes.empty();
        if (!partlyRead_) pieces_.pop_front();
        return long(n);
    }

    bool StartTls(const std::string&, platform::Milliseconds) override {
        // Nothing of the client's is waiting to go out in plain text.
        Check(pending_.empty() && !secure_ && tlsRequired_);
        tlsFailed_ = !pieces_.empty() && pieces_.front().kind == Piece::HandshakeError;
        if (tlsFailed_) pieces_.pop_front();
        secure_ = !tlsFailed_;
        return secure_;
    }

    void RequireTls() { tlsRequired_ = true; }
    bool Secure() const { return secure_; }
    const std::string& Transcript() const { return transcript_; }
    int Commands() const { return commands_ + (pending_.empty() ? 0 : 1); }

private:
    std::deque<Piece> pieces_;
    std::string pending_;  // sent since the last receive
    std::string transcript_;
    int commands_ = 0;  // sent before a receive
    bool tlsRequired_ = false;
    bool secure_ = false;
    bool tlsFailed_ = false;
    bool partlyRead_ = false;  // the front piece was read in part
    bool quitSent_ = false;
};

void PlayJob(const std::deque<Piece>& pieces, int port) {
    ziromail::SmtpSession session("mail.example.com", port, 7);
    session.userName = "user@example.com";
    session.password = "secret";
    session.sender = "from@example.com";
    session.toList = "a@example.com;b@example.com";
    session.ccList = "c@example.com";
    session.subject = "s";
    session.htmlBody = "<html>x</html>";

    auto owned = std::make_unique<ScriptedChannel>(pieces);
    ScriptedChannel& channel = *owned;
    if (port != 25) channel.RequireTls();
    ziromail::SmtpClient client(session.timeouts, std::move(owned));
    const int status = ziromail::RunMailJob(session, client);

    Check(status == 0 || status == -1 || status == -2 || status == -3 || status == -4 || status == -6 ||
          status == -7);
    Check(status == -2 || port == 25 || channel.Secure());
    // EHLO, HELO, STARTTLS, EHLO, HELO, three login steps, MAIL FROM, three RCPT TO, DATA, the message and QUIT.
    Check(channel.Commands() <= 15);
    const std::string& sent = channel.Transcript();
    Check(sent.empty() || sent.ends_with("\r\n"));
    Check(status != 0 || sent.ends_with("\r\n.\r\nquit\r\n"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::deque<Piece> pieces = Pieces(data, size);
    for (int port : {25, 465, 587}) PlayJob(pieces, port);
    return 0;
}
