#include "update/worker_threads.h"

#include <system_error>
#include <thread>

namespace update {

namespace {

class ThreadWorker final : public Worker {
public:
    explicit ThreadWorker(std::function<void()> body) : body_(std::move(body)), thread_([this] { body_(); }) {}
    ~ThreadWorker() override { Join(); }
    void Join() override {
        if (thread_.joinable()) thread_.join();
    }

private:
    std::function<void()> body_;
    std::thread thread_;  // last: starts once the rest is built
};

}  // namespace

std::unique_ptr<Worker> ThreadLauncher::Start(std::function<void()> body) {
    try {
        return std::make_unique<ThreadWorker>(std::move(body));
    } catch (const std::system_error&) {
        return nullptr;
    }
}

}  // namespace update
