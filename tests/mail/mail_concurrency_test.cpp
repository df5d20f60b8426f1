// Several jobs at once on different handles, with the callback replaced while
// they run, and jobs started from several host threads at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <thread>

#include "mail/ziromail.h"
#include "tests/mail/support/scripted_server.h"
#include "tests/mail/support/status_recorder.h"

namespace {

using namespace mailtest;
using Reports = std::vector<std::pair<int, int>>;

StatusRecorder firstCallback, secondCallback;

void ZIROMAIL_CALLBACK First(int status, int userValue) { firstCallback.Add(status, userValue); }
void ZIROMAIL_CALLBACK Second(int status, int userValue) { secondCallback.Add(status, userValue); }

int Prepare(const ScriptedServer& server, int userValue) {
    int handle = InitSmtp("127.0.0.1", server.Port(), userValue);
    MailUserBind(handle, "user@example.com", "secret");
    SetMailOption(handle, MailOptionSender, "from@example.com");
    SetMailOption(handle, MailOptionTo, "to@example.com");
    return handle;
}

}  // namespace

TEST(MailConcurrency, EveryFinalReportGoesToTheMostRecentCallback) {
    firstCallback.Clear();
    secondCallback.Clear();
    std::promise<void> release;
    auto gate = release.get_future().share();
    auto held = AcceptingScript(1);
    held.insert(held.begin(), WaitFor(gate));
    ScriptedServer heldServer(held), secondServer(AcceptingScript(1)), thirdServer(AcceptingScript(1));

    int heldHandle = Prepare(heldServer, 101);
    int secondHandle = Prepare(secondServer, 202);
    int thirdHandle = Prepare(thirdServer, 303);
    ASSERT_EQ(SendMail(heldHandle, "held", "<html>1</html>", &First), 0);
    ASSERT_EQ(SendMail(secondHandle, "second", "<html>2</html>", &Second), 0);
    ASSERT_EQ(SendMail(thirdHandle, "third", "<html>3</html>", &Second), 0);
    release.set_value();

    ASSERT_TRUE(secondCallback.WaitFor(5, std::chrono::seconds(60)));
    EXPECT_EQ(firstCallback.Reports(), (Reports{{1, 101}}));
    Reports reports = secondCallback.Reports();
    std::sort(reports.begin(), reports.end());
    EXPECT_EQ(reports, (Reports{{0, 101}, {0, 202}, {0, 303}, {1, 202}, {1, 303}}));
    for (ScriptedServer* server : {&heldServer, &secondServer, &thirdServer})
        EXPECT_NE(server->Transcript().find("\r\n.\r\nquit\r\n"), std::string::npos);
}

TEST(MailConcurrency, JobsStartedFromSeveralThreadsEachReportOnce) {
    constexpr int kThreads = 4, kJobsPerThread = 3;
    firstCallback.Clear();
    std::vector<std::unique_ptr<ScriptedServer>> servers;
    for (int i = 0; i < kThreads * kJobsPerThread; ++i)
        servers.push_back(std::make_unique<ScriptedServer>(AcceptingScript(1)));
    std::vector<std::thread> hosts;
    for (int t = 0; t < kThreads; ++t) {
        hosts.emplace_back([&servers, t] {
            for (int j = 0; j < kJobsPerThread; ++j) {
                const int index = t * kJobsPerThread + j;
                EXPECT_EQ(SendMail(Prepare(*servers[size_t(index)], index), "from a thread", "<html/>", &First), 0);
            }
        });
    }
    for (std::thread& host : hosts) host.join();
    ASSERT_TRUE(firstCallback.WaitFor(2 * kThreads * kJobsPerThread, std::chrono::seconds(60)));
    Reports reports = firstCallback.Reports();
    std::sort(reports.begin(), reports.end());
    Reports expected;
    for (int i = 0; i < kThreads * kJobsPerThread; ++i) expected.push_back({0, i});
    for (int i = 0; i < kThreads * kJobsPerThread; ++i) expected.push_back({1, i});
    EXPECT_EQ(reports, expected);
}
