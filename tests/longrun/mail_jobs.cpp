// Sends COUNT mails one after another through the library's exports to an
// SMTP server on 127.0.0.1, each after the previous one's final status. Prints
// "progress N" every 100 jobs (the long-run driver samples the process then)
// and the number of jobs per final status at the end.
//   mail_jobs PORT COUNT
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "mail/ziromail.h"

namespace {

std::mutex lock;
std::condition_variable changed;
int lastStatus = MailStatusStarted;

void ZIROMAIL_CALLBACK OnStatus(int status, int) {
    if (status == MailStatusStarted) return;
    std::lock_guard<std::mutex> hold(lock);
    lastStatus = status;
    changed.notify_all();
}

int SendOne(int port, int number) {
    {
        std::lock_guard<std::mutex> hold(lock);
        lastStatus = MailStatusStarted;
    }
    const int handle = InitSmtp("127.0.0.1", port, number);
    MailUserBind(handle, "user@example.com", "secret");
    SetMailOption(handle, MailOptionSender, "from@example.com");
    SetMailOption(handle, MailOptionTo, "to@example.com;copy@example.com");
    if (SendMail(handle, "long run", "<html><body>one of many</body></html>", &OnStatus) != 0) return 99;
    std::unique_lock<std::mutex> hold(lock);
    if (!changed.wait_for(hold, std::chrono::minutes(2), [] { return lastStatus != MailStatusStarted; })) return 98;
    return lastStatus;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mail_jobs PORT COUNT\n");
        return 2;
    }
    const int port = std::atoi(argv[1]), count = std::atoi(argv[2]);
    std::map<int, int> statuses;
    for (int i = 1; i <= count; ++i) {
        ++statuses[SendOne(port, i)];
        if (i % 100 == 0) std::printf("progress %d\n", i), std::fflush(stdout);
    }
    for (const auto& [status, jobs] : statuses) std::printf("status %d: %d jobs\n", status, jobs);
    return statuses.size() == 1 && statuses.begin()->first == MailStatusOk ? 0 : 1;
}
