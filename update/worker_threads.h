#pragma once
// The updater's worker threads, behind a seam so that tests can refuse to
// start one or run a scripted body.
#include <functional>
#include <memory>

namespace update {

class Worker {
public:
    virtual ~Worker() = default;
    // Waits until the body has ended.
    virtual void Join() = 0;
};

class WorkerLauncher {
public:
    virtual ~WorkerLauncher() = default;
    // Starts `body` on a thread of its own; nothing when no thread could be made.
    virtual std::unique_ptr<Worker> Start(std::function<void()> body) = 0;
};

// Threads of the standard library.
class ThreadLauncher final : public WorkerLauncher {
public:
    std::unique_ptr<Worker> Start(std::function<void()> body) override;
};

}  // namespace update
