#include "update/worker_threads.h"

#include <system_error>
#include <thread>

namespace update {

namespace {

class ThreadWorker final : public Worker {
public:
    explicit ThreadWorker(std::function<int()> body) : body_(std::move(body)), thread_([this] { result_ = body_(); }) {}
    ~ThreadWorker() override {
        if (thread_.joinable()) thread_.join();
    }
    int Join() override {
        if (thread_.joinable()) thread_.join();
        return result_;
    }

private:
    std::function<int()> body_;
    int result_ = 0;
    std::thread thread_;  // last: starts once the rest is built
};

}  // namespace

std::unique_ptr<Worker> ThreadLauncher::Start(std::function<int()> body) {
    try {
        return std::make_unique<ThreadWorker>(std::move(body));
    } catch (const std::system_error&) {
        return nullptr;
    }
}

}  // namespace update
