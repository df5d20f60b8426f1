// The four exports: handles, options, the started report and the final one.
#include <gtest/gtest.h>

#include <thread>

#include "mail/api/session_table.h"
#include "mail/ziromail.h"
#include "tests/mail/support/status_recorder.h"
#include "platform/loopback_listener.h"

namespace {

using mailtest::StatusRecorder;
using Reports = std::vector<std::pair<int, int>>;

StatusRecorder recorder;
std::thread::id callbackThread;

void ZIROMAIL_CALLBACK Record(int status, int userValue) {
    if (status == MailStatusStarted) callbackThread = std::this_thread::get_id();
    recorder.Add(status, userValue);
}

}  // namespace

TEST(MailExports, HandlesCountUpFromOneAndAreNeverReused) {
    int first = InitSmtp("mail.example.com", 25, 1);
    int second = InitSmtp("", -5, 2);
    EXPECT_GE(first, 1);
    EXPECT_EQ(second, first + 1);
}

TEST(MailExports, NegativeOrUnknownHandlesAreRefusedWithoutCallback) {
    std::size_t before = recorder.Reports().size();
    EXPECT_EQ(SendMail(-1, "subject", "<html></html>", &Record), -1);
    EXPECT_EQ(SendMail(1 << 30, "subject", "<html></html>", &Record), -1);
    MailUserBind(-3, "user", "password");
    SetMailOption(-3, MailOptionTo, "a@example.com");
    EXPECT_EQ(recorder.Reports().size(), before);
}

TEST(MailExports, OptionsFillTheSessionAndUnknownOnesChangeNothing) {
    int handle = InitSmtp("mail.example.com", 25, 3);
    MailUserBind(handle, "user@example.com", "secret");
    SetMailOption(handle, MailOptionSender, "from@example.com");
    SetMailOption(handle, MailOptionTo, "a@example.com;b@example.com");
    SetMailOption(handle, MailOptionCc, "c@example.com");
    for (int i = 0; i < 3; ++i) SetMailOption(handle, MailOptionAttachment, "C:\\files\\report.pdf");
    for (int option : {3, 4, 5, 7, -1}) SetMailOption(handle, option, "ignored");

    ziromail::SmtpSession* session = ziromail::Sessions().Find(handle);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(session->server, "mail.example.com");
    EXPECT_EQ(session->userName, "user@example.com");
    EXPECT_EQ(session->password, "secret");
    EXPECT_EQ(session->sender, "from@example.com");
    EXPECT_EQ(session->toList, "a@example.com;b@example.com");
    EXPECT_EQ(session->ccList, "c@example.com");
    EXPECT_EQ(session->attachments, std::vector<std::string>(3, "C:\\files\\report.pdf"));
}

TEST(MailExports, StartedComesFirstOnTheCallersThreadAndAnUnreachableServerGivesMinus2) {
    std::uint16_t closedPort;
    {
        platform::LoopbackListener listener;
        closedPort = listener.Port();
    }
    int handle = InitSmtp("127.0.0.1", closedPort, 44);
    std::size_t before = recorder.Reports().size();
    EXPECT_EQ(SendMail(handle, "subject", "<html></html>", &Record), 0);
    Reports afterReturn = recorder.Reports();
    ASSERT_GT(afterReturn.size(), before);
    EXPECT_EQ(afterReturn[before], std::make_pair(1, 44));
    EXPECT_EQ(callbackThread, std::this_thread::get_id());

    ASSERT_TRUE(recorder.WaitFor(before + 2, std::chrono::seconds(30)));
    EXPECT_EQ(recorder.Reports()[before + 1], std::make_pair(-2, 44));
    // The job owned the session; the handle designates nothing any more.
    EXPECT_EQ(ziromail::Sessions().Find(handle), nullptr);
    EXPECT_EQ(SendMail(handle, "again", "<html></html>", &Record), -1);
}
