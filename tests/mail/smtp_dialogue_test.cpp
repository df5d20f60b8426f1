// The SMTP dialogue against scripted raw TCP servers on 127.0.0.1: the exact
// bytes of every command and the status of every way a server can answer.
#include <gtest/gtest.h>

#include <functional>

#include "mail/api/mail_job.h"
#include "mail/smtp/smtp_wire.h"
#include "tests/mail/support/scripted_server.h"

namespace {

using namespace mailtest;
using ziromail::EncodeCredential;
using ziromail::SmtpSession;

struct JobResult {
    int status;
    std::string transcript;
    std::chrono::steady_clock::duration jobTime;
};

std::string Credential(const std::string& text) { return EncodeCredential(text.data(), text.size()); }

// The job as the worker runs it; the connection closes when this returns.
int RunMailJob(const SmtpSession& session) {
    ziromail::SmtpClient client(session.timeouts);
    return ziromail::RunMailJob(session, client);
}

JobResult RunJob(ScriptedServer& server, const std::function<void(SmtpSession&)>& configure = {}) {
    int status;
    auto started = std::chrono::steady_clock::now();
    {
        SmtpSession session("127.0.0.1", server.Port(), 9);
        session.userName = "user@example.com";
        session.password = "secret";
        session.sender = "from@example.com";
        session.toList = "to@example.com";
        if (configure) configure(session);
        status = RunMailJob(session);
    }
    auto jobTime = std::chrono::steady_clock::now() - started;
    return {status, server.Transcript(), jobTime};
}

std::string LoginLines() {
    return "ehlo 127.0.0.1\r\nauth login\r\n" + Credential("user@example.com") + Credential("secret");
}

void ShortTimeouts(SmtpSession& session) {
    for (auto* timeout : {&session.timeouts.connect, &session.timeouts.handshake, &session.timeouts.send,
                          &session.timeouts.greeting, &session.timeouts.command, &session.timeouts.dataStart,
                          &session.timeouts.dataEnd})
        *timeout = std::chrono::milliseconds(300);
}

std::vector<ScriptStep> Until(std::vector<ScriptStep> script, std::size_t steps) {
    script.resize(steps);
    return script;
}

// Greeting, HELO and the three AUTH LOGIN steps of AcceptingScript.
constexpr std::size_t kLoginSteps = 9;

}  // namespace

TEST(SmtpDialogue, SendsEveryCommandExactlyAsWritten) {
    ScriptedServer server(AcceptingScript(4));
    JobResult result = RunJob(server, [](SmtpSession& s) {
        s.toList = "a@example.com; b@example.com;";
        s.ccList = "c@example.com";
    });
    EXPECT_EQ(result.status, 0);
    std::string envelope = LoginLines() +
                           "mail from:<from@example.com>\r\n"
                           "rcpt to:<a@example.com>\r\nrcpt to:< b@example.com>\r\nrcpt to:<>\r\n"
                           "rcpt to:<c@example.com>\r\ndata\r\n";
    ASSERT_GE(result.transcript.size(), envelope.size());
    EXPECT_EQ(result.transcript.substr(0, envelope.size()), envelope);
    EXPECT_EQ(result.transcript.compare(envelope.size(), 6, "Date: "), 0);
    std::string end = "\r\n.\r\nquit\r\n";
    EXPECT_EQ(result.transcript.substr(result.transcript.size() - end.size()), end);
    EXPECT_EQ(result.transcript.find("\r\n.\r\n"), result.transcript.size() - end.size());
}

TEST(SmtpDialogue, EmptySenderGivesEmptyAngleBrackets) {
    ScriptedServer server(AcceptingScript(1));
    JobResult result = RunJob(server, [](SmtpSession& s) { s.sender.clear(); });
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.transcript.find("\r\nmail from:<>\r\nrcpt to:<to@example.com>\r\n"), std::string::npos);
}

TEST(SmtpDialogue, GreetingInTwoPiecesTakesTheSecondAsEhloReply) {
    ScriptedServer server({Reply("220-first line\r\n"), Pause(std::chrono::milliseconds(200)),
                           Reply("220 second line\r\n"), ReadLine(), Reply("250 hello\r\n")});
    JobResult result = RunJob(server);
    EXPECT_EQ(result.status, -2);
    EXPECT_EQ(result.transcript, "ehlo 127.0.0.1\r\nquit\r\n");
}

TEST(SmtpDialogue, GreetingOtherThan220FailsTheConnectionAndIsAnsweredWithQuit) {
    ScriptedServer server({Reply("554 go away\r\n")});
    JobResult result = RunJob(server);
    EXPECT_EQ(result.status, -2);
    EXPECT_EQ(result.transcript, "quit\r\n");
}

TEST(SmtpDialogue, EhloReplyIsReadWholeAcrossPieces) {
    auto script = AcceptingScript(1);
    script[2] = Reply("250-mail.example.com\r\n250-SIZE 1000");
    script.insert(script.begin() + 3, {Pause(std::chrono::milliseconds(100)), Reply("0\r\n250-AUTH LOGIN\r\n"),
                                       Pause(std::chrono::milliseconds(100)), Reply("250 8BITMIME\r\n")});
    ScriptedServer server(script);
    JobResult result = RunJob(server);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.transcript.substr(0, LoginLines().size()), LoginLines());
}

TEST(SmtpDialogue, ServerWithoutEhloIsGreetedWithHelo) {
    for (const char* refusal : {"500 unrecognised command\r\n", "502 not implemented\r\n"}) {
        auto script = AcceptingScript(1);
        script.insert(script.begin() + 2, {Reply(refusal), ReadLine()});
        ScriptedServer server(script);
        JobResult result = RunJob(server);
        EXPECT_EQ(result.status, 0) << refusal;
        EXPECT_EQ(result.transcript.substr(0, 32), "ehlo 127.0.0.1\r\nhelo 127.0.0.1\r\n") << refusal;
    }
}

TEST(SmtpDialogue, OtherRefusalsOfEhloAndMalformedRepliesFailTheConnection) {
    for (const char* reply : {"554 no service\r\n", "250-first\r\n251 mixed codes\r\n", "250+odd separator\r\n"}) {
        ScriptedServer server({Reply("220 ready\r\n"), ReadLine(), Reply(reply)});
        JobResult result = RunJob(server);
        EXPECT_EQ(result.status, -2) << reply;
        EXPECT_EQ(result.transcript.find("helo"), std::string::npos) << reply;
    }
}

TEST(SmtpDialogue, NoAnswer334ToAuthLoginIsAnError) {
    auto script = Until(AcceptingScript(1), 3);
    script.push_back(ReadLine());
    script.push_back(Reply("502 not implemented\r\n"));
    ScriptedServer server(script);
    JobResult result = RunJob(server);
    EXPECT_EQ(result.status, -1);
    EXPECT_EQ(result.transcript, "ehlo 127.0.0.1\r\nauth login\r\nquit\r\n");
}

TEST(SmtpDialogue, RefusedUserNameOrPasswordIsALoginFailure) {
    auto user = Until(AcceptingScript(1), 5);
    user.push_back(ReadLine());
    user.push_back(Reply("535 no\r\n"));
    ScriptedServer userServer(user);
    EXPECT_EQ(RunJob(userServer).status, -3);

    auto password = Until(AcceptingScript(1), 7);
    password.push_back(ReadLine());
    password.push_back(Reply("535 no\r\n"));
    ScriptedServer passwordServer(password);
    JobResult result = RunJob(passwordServer);
    EXPECT_EQ(result.status, -3);
    EXPECT_EQ(result.transcript, LoginLines() + "quit\r\n");
}

TEST(SmtpDialogue, Reply251ToMailFromRejectsTheSender) {
    auto script = Until(AcceptingScript(1), kLoginSteps);
    script.push_back(ReadLine());
    script.push_back(Reply("251 forwarded\r\n"));
    ScriptedServer server(script);
    JobResult result = RunJob(server);
    EXPECT_EQ(result.status, -4);
    EXPECT_EQ(result.transcript, LoginLines() + "mail from:<from@example.com>\r\nquit\r\n");
}

TEST(SmtpDialogue, Reply251ToRcptIsIgnored) {
    auto script = AcceptingScript(1);
    script[kLoginSteps + 3] = Reply("251 user not local; will forward\r\n");
    ScriptedServer server(script);
    EXPECT_EQ(RunJob(server).status, 0);
}

TEST(SmtpDialogue, Refusal550OfTheFirstOfThreeRecipientsEndsTheJob) {
    auto script = Until(AcceptingScript(3), kLoginSteps + 2);
    script.push_back(ReadLine());
    script.push_back(Reply("550 no such user\r\n"));
    ScriptedServer server(script);
    JobResult result = RunJob(server, [](SmtpSession& s) { s.toList = "x@example.com,y@example.com,z@example.com"; });
    EXPECT_EQ(result.status, -7);
    EXPECT_EQ(result.transcript,
              LoginLines() + "mail from:<from@example.com>\r\nrcpt to:<x@example.com>\r\nquit\r\n");
}

TEST(SmtpDialogue, RefusedDataSendsNoMessage) {
    auto script = Until(AcceptingScript(1), kLoginSteps + 4);
    script.push_back(ReadLine());
    script.push_back(Reply("554 no valid recipients\r\n"));
    ScriptedServer server(script);
    JobResult result = RunJob(server);
    EXPECT_EQ(result.status, -6);
    EXPECT_EQ(result.transcript,
              LoginLines() + "mail from:<from@example.com>\r\nrcpt to:<to@example.com>\r\ndata\r\nquit\r\n");
}

TEST(SmtpDialogue, CloseAfterTheTerminatorStillSucceedsAndSendsQuit) {
    auto script = Until(AcceptingScript(1), kLoginSteps + 7);
    script.push_back(ShutdownSending());
    ScriptedServer server(script);
    JobResult result = RunJob(server);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.transcript.substr(result.transcript.size() - 11), "\r\n.\r\nquit\r\n");
}

TEST(SmtpDialogue, RefusedConnectionAndUnknownNameFailTheConnection) {
    std::uint16_t closedPort;
    {
        platform::LoopbackListener listener;
        closedPort = listener.Port();
    }
    SmtpSession refused("127.0.0.1", closedPort, 1);
    EXPECT_EQ(RunMailJob(refused), -2);
    SmtpSession unknown("no-such-host.invalid", 25, 1);
    EXPECT_EQ(RunMailJob(unknown), -2);
}

TEST(SmtpDialogue, LineBreaksInAddressesInjectNoCommand) {
    ScriptedServer server(AcceptingScript(1));
    JobResult result = RunJob(server, [](SmtpSession& s) { s.toList = "evil@example.com>\r\nrset\r\nx<;to@example.com"; });
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.transcript.find("\nrset"), std::string::npos);
    EXPECT_NE(result.transcript.find("\r\nrcpt to:<to@example.com>\r\ndata\r\n"), std::string::npos);

    ScriptedServer senderServer(Until(AcceptingScript(1), kLoginSteps));
    JobResult sender = RunJob(senderServer, [](SmtpSession& s) { s.sender = "a@example.com>\r\nrset"; });
    EXPECT_EQ(sender.status, -4);
    EXPECT_EQ(sender.transcript, LoginLines() + "quit\r\n");
}

TEST(SmtpDialogue, CredentialsOfAnyLengthGoOnOneLine) {
    std::string user(57, 'u'), password(1000, 'p');
    auto script = Until(AcceptingScript(1), kLoginSteps);
    script.push_back(ReadLine());
    script.push_back(Reply("451 try later\r\n"));
    ScriptedServer server(script);
    JobResult result = RunJob(server, [&](SmtpSession& s) {
        s.userName = user;
        s.password = password;
    });
    std::string userLine = Credential(user);
    EXPECT_EQ(userLine.size(), 78u);
    EXPECT_EQ(result.transcript, "ehlo 127.0.0.1\r\nauth login\r\n" + userLine + Credential(password) +
                                     "mail from:<from@example.com>\r\nquit\r\n");
    EXPECT_EQ(Credential(password).find("\r\n"), Credential(password).size() - 2);
}

TEST(SmtpDialogue, LongRecipientListsAreWalkedCompletely) {
    std::string list;
    for (int i = 0; i < 300; ++i) list += "recipient" + std::to_string(i) + "@example.com;";
    ScriptedServer server(AcceptingScript(301));
    JobResult result = RunJob(server, [&](SmtpSession& s) { s.toList = list; });
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.transcript.find("rcpt to:<recipient299@example.com>\r\nrcpt to:<>\r\ndata\r\n"), std::string::npos);
}

TEST(SmtpTimeouts, SilentServerFailsTheStepItSilencesWithItsStatus) {
    ScriptedServer greeting({Pause(std::chrono::milliseconds(1500))});
    JobResult silent = RunJob(greeting, ShortTimeouts);
    EXPECT_EQ(silent.status, -2);
    EXPECT_EQ(silent.transcript, "");  // no QUIT to a server that never spoke

    auto mailFrom = Until(AcceptingScript(1), kLoginSteps);
    mailFrom.push_back(Pause(std::chrono::milliseconds(1500)));
    ScriptedServer mailFromServer(mailFrom);
    EXPECT_EQ(RunJob(mailFromServer, ShortTimeouts).status, -4);

    auto message = Until(AcceptingScript(1), kLoginSteps + 7);
    message.push_back(Pause(std::chrono::milliseconds(1500)));
    ScriptedServer messageServer(message);
    EXPECT_EQ(RunJob(messageServer, ShortTimeouts).status, -6);
}

TEST(SmtpTimeouts, ConnectionThatIsNeverCompletedFailsTheConnection) {
    // A listener whose queue is full lets further connection attempts hang.
    platform::LoopbackListener full(0);
    std::uint32_t loopback = 0;
    ASSERT_EQ(platform::ResolveAddress("127.0.0.1", loopback), 0);
    std::vector<platform::TcpSocket> queued;
    for (int i = 0; i < 16; ++i) {
        platform::TcpSocket probe;
        ASSERT_TRUE(probe.Open());
        if (!probe.Connect(loopback, full.Port(), std::chrono::milliseconds(200))) break;
        queued.push_back(std::move(probe));
    }
    ASSERT_LT(queued.size(), 16u) << "the listener's queue never filled";
    SmtpSession session("127.0.0.1", full.Port(), 1);
    ShortTimeouts(session);
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(RunMailJob(session), -2);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

TEST(SmtpTimeouts, ServerThatStopsReadingFailsTheMessage) {
    auto script = Until(AcceptingScript(1), kLoginSteps + 6);
    script.push_back(Pause(std::chrono::milliseconds(4000)));
    ScriptedServer server(script);
    std::string path = testing::TempDir() + "stalled-attachment.bin";
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::string block(1 << 20, 'x');
        for (int i = 0; i < 16; ++i) std::fwrite(block.data(), 1, block.size(), file);
        std::fclose(file);
    }
    JobResult result = RunJob(server, [&](SmtpSession& s) {
        ShortTimeouts(s);
        s.attachments.push_back(path);
    });
    EXPECT_EQ(result.status, -6);
    EXPECT_LT(result.jobTime, std::chrono::milliseconds(3500));  // ended by the time-out, not by the server
    std::remove(path.c_str());
}

namespace {

// Connects as a TLS port asks for, to a server on another port; then QUIT after a failure, as the job does.
JobResult ConnectSecured(ScriptedServer& server, ziromail::SmtpSecurity security,
                         platform::Milliseconds handshake = std::chrono::milliseconds(300)) {
    SmtpSession session("127.0.0.1", server.Port(), 1);
    ShortTimeouts(session);
    session.timeouts.handshake = handshake;
    auto started = std::chrono::steady_clock::now();
    int status;
    {
        ziromail::SmtpClient client(session.timeouts);
        status = client.Connect(session.server, session.port, security);
        if (status != 0) client.QuitAfterFailure();
    }
    auto time = std::chrono::steady_clock::now() - started;
    return {status, server.Transcript(), time};
}

}  // namespace

TEST(SmtpSecurity, PortsChooseTheirSecurity) {
    EXPECT_EQ(ziromail::SecurityForPort(465), ziromail::SmtpSecurity::ImplicitTls);
    EXPECT_EQ(ziromail::SecurityForPort(587), ziromail::SmtpSecurity::StartTls);
    for (int port : {25, 2525, 0, -465}) EXPECT_EQ(ziromail::SecurityForPort(port), ziromail::SmtpSecurity::Plain);
}

TEST(SmtpSecurity, StalledOrPlainTextHandshakeFailsTheConnectionSoon) {
    // Both servers hold the connection open for longer than the job may take.
    ScriptedServer stalled({Pause(std::chrono::milliseconds(1500))});
    JobResult result = ConnectSecured(stalled, ziromail::SmtpSecurity::ImplicitTls);
    EXPECT_EQ(result.status, -2);
    EXPECT_LT(result.jobTime, std::chrono::milliseconds(1400));
    EXPECT_EQ(result.transcript.find("ehlo"), std::string::npos);  // only the TLS hello

    // At the first bytes, not at the time-out.
    ScriptedServer plain({Reply("220 plain text ESMTP\r\n"), Pause(std::chrono::milliseconds(1500))});
    result = ConnectSecured(plain, ziromail::SmtpSecurity::ImplicitTls, std::chrono::seconds(10));
    EXPECT_EQ(result.status, -2);
    EXPECT_LT(result.jobTime, std::chrono::milliseconds(1400));
    EXPECT_EQ(result.transcript.find("ehlo"), std::string::npos);
}

TEST(SmtpSecurity, StartTlsPortSendsNothingButQuitWithoutStartTls) {
    ScriptedServer server({Reply("220 ready\r\n"), ReadLine(), Reply("250-mx\r\n250 AUTH LOGIN\r\n")});
    JobResult result = ConnectSecured(server, ziromail::SmtpSecurity::StartTls);
    EXPECT_EQ(result.status, -2);
    EXPECT_EQ(result.transcript, "ehlo 127.0.0.1\r\nquit\r\n");
}

TEST(SmtpSecurity, FailedStartTlsHandshakeEndsTheDialogue) {
    // Plain text pushed after the reply to STARTTLS is no TLS: the handshake fails, and nothing follows it.
    ScriptedServer server({Reply("220 ready\r\n"), ReadLine(), Reply("250-mx\r\n250 STARTTLS\r\n"), ReadLine(),
                           Reply("220 go ahead\r\n"), Pause(std::chrono::milliseconds(50)),
                           Reply("250 not a TLS record\r\n")});
    JobResult result = ConnectSecured(server, ziromail::SmtpSecurity::StartTls);
    EXPECT_EQ(result.status, -2);
    ASSERT_EQ(result.transcript.substr(0, 26), "ehlo 127.0.0.1\r\nstarttls\r\n");
    EXPECT_EQ(result.transcript.find("quit"), std::string::npos);
    EXPECT_EQ(result.transcript.find("auth"), std::string::npos);
}
