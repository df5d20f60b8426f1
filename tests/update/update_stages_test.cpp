// The dialog's stages with a recording window, scripted engine work and
// threads that can be refused: the order of the stages, the progress values,
// cancelling, and what a missing thread does.
#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "update/update_stages.h"
#include "update/update_texts.h"

namespace update {
namespace {

using namespace std::chrono_literals;

// Records what the stages did to it; every call must come on the test's thread.
class RecordingWindow final : public UpdateWindow {
public:
    void ShowMessage(const std::string& text, MessageCaption caption, MessageIcon) override {
        Note("message " + text + (caption == MessageCaption::Application ? " (app)" : ""));
    }
    void SetRowStatus(int row, const std::string& text) override { Note("row " + std::to_string(row) + " " + text); }
    bool LoadTipBitmap(const char* name) override {
        Note(std::string("tip ") + name);
        return true;
    }
    void ShowProgressControls() override { Note("progress controls"); }
    void DisableCancel() override { Note("cancel disabled"); }
    void SetProgressLabel(const std::string& text) override { Note("label " + text); }
    void SetProgress(int position) override { Note("progress " + std::to_string(position)); }
    void StartTimer(DialogTimer timer) override { Note("start timer " + std::to_string(int(timer))); }
    void StopTimer(DialogTimer timer) override { Note("stop timer " + std::to_string(int(timer))); }
    void EndDialog(int result) override {
        Note("end " + std::to_string(result));
        ended = true;
    }

    bool Saw(const std::string& what) const { return std::find(log.begin(), log.end(), what) != log.end(); }
    std::size_t At(const std::string& what) const { return std::find(log.begin(), log.end(), what) - log.begin(); }
    std::vector<std::string> log;
    bool ended = false;
    const std::thread::id thread = std::this_thread::get_id();

private:
    void Note(const std::string& what) {
        EXPECT_EQ(std::this_thread::get_id(), thread) << what;
        log.push_back(what);
    }
};

// Downloads that end when the test lets them; the install's result is set beforehand.
class ScriptedWork final : public StageWork {
public:
    ScriptedWork(int entries, UpdateFlags& flags) : entries_(entries), flags_(flags) {}
    int EntryCount() const override { return entries_; }
    DownloadResult DownloadEntry(int index) override {
        std::unique_lock<std::mutex> lock(mutex_);
        calls.push_back("download " + std::to_string(index));
        changed_.notify_all();
        // A cancelled transfer stops at its next block, as the engine's does.
        while (released_ <= index && flags_.cancelRequested.load() == 0) changed_.wait_for(lock, 1ms);
        return index == refusedDownload ? DownloadResult::Refused : DownloadResult::Done;
    }
    bool StopClient() override { return Record("stop client"), true; }
    InstallResult InstallAll() override {
        Record("install");
        if (installResult == InstallResult::Installed) flags_.installFinished.store(1);
        return installResult;
    }
    bool StartClient() override { return Record("start client"), startResult; }

    void Release(int index) {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = index + 1;
        changed_.notify_all();
    }
    void WaitForCall(const std::string& what) {
        std::unique_lock<std::mutex> lock(mutex_);
        ASSERT_TRUE(changed_.wait_for(lock, 10s, [&] { return std::count(calls.begin(), calls.end(), what) > 0; })) << what;
    }
    std::vector<std::string> Calls() {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls;
    }
    InstallResult installResult = InstallResult::Installed;
    bool startResult = true;
    int refusedDownload = -1;

private:
    void Record(const std::string& what) {
        std::lock_guard<std::mutex> lock(mutex_);
        calls.push_back(what);
        changed_.notify_all();
    }
    const int entries_;
    UpdateFlags& flags_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> calls;
    int released_ = 0;
};

// Real threads, except the one whose number (counted from 1) is refused.
class RefusingLauncher final : public WorkerLauncher {
public:
    std::unique_ptr<Worker> Start(std::function<void()> body) override {
        return ++started_ == refuse ? nullptr : threads_.Start(std::move(body));
    }
    int refuse = 0;

private:
    std::atomic<int> started_{0};
    ThreadLauncher threads_;
};

struct Dialog {
    explicit Dialog(int entries) : work(entries, flags) {}
    // The window's thread delivering mail until `done` holds.
    template <typename Done>
    bool PumpUntil(Done done) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            mailbox.WaitForMail(5ms);
            mailbox.Deliver();
        }
        return true;
    }
    bool PumpUntilSeen(const std::string& what) {
        return PumpUntil([&] { return window.Saw(what); });
    }

    UpdateFlags flags;
    RecordingWindow window;
    DialogMailbox mailbox{window, nullptr};
    ScriptedWork work;
    RefusingLauncher launcher;
    UpdateStages stages{flags, work, launcher, mailbox};
};

TEST(UpdateStages, DownloadsOneAfterAnotherThenStopsTheClientInstallsAndRestarts) {
    Dialog d(3);
    ASSERT_TRUE(d.stages.CanDownload());
    d.stages.OnDownload(d.window);
    EXPECT_EQ(d.stages.Stage(), DialogStage::Download);
    EXPECT_TRUE(d.window.Saw("start timer 1"));
    EXPECT_TRUE(d.window.Saw("row 0 正在下载..."));
    EXPECT_FALSE(d.stages.CanDownload());
    for (int i = 0; i < 3; ++i) {
        d.work.WaitForCall("download " + std::to_string(i));
        EXPECT_EQ(d.work.Calls().size(), std::size_t(i + 1)) << "one download at a time, nothing installed yet";
        d.stages.OnTimer(DialogTimer::Download, d.window);
        EXPECT_EQ(d.window.log.back(), "progress " + std::to_string(i * 1000 / 3));
        d.work.Release(i);
        ASSERT_TRUE(d.PumpUntilSeen("progress " + std::to_string(i == 2 ? 1000 : (i + 1) * 333)));
        EXPECT_TRUE(d.window.Saw("row " + std::to_string(i) + " 下载完成。"));
    }
    EXPECT_TRUE(d.window.Saw("row 2 正在下载..."));
    EXPECT_FALSE(d.window.Saw("row 3 正在下载..."));
    ASSERT_TRUE(d.PumpUntil([&] { return d.window.ended; }));
    EXPECT_EQ(d.work.Calls(), (std::vector<std::string>{"download 0", "download 1", "download 2", "stop client", "install",
                                                         "start client"}));
    const RecordingWindow& w = d.window;
    EXPECT_LT(w.At("tip updatetip.bmp"), w.At(std::string("message ") + kClosingClient));
    EXPECT_LT(w.At(std::string("message ") + kClosingClient), w.At("cancel disabled"));
    EXPECT_LT(w.At("row 0 正在安装更新..."), w.At("label 升级进度"));
    EXPECT_LT(w.At("stop timer 1"), w.At("start timer 2"));
    EXPECT_EQ(w.log.back(), "end 0");
    EXPECT_EQ(d.stages.Outcome(), StageOutcome::Restarted);

    d.flags.downloadFinished.store(1);
    d.stages.OnTimer(DialogTimer::Download, d.window);
    EXPECT_EQ(d.window.log.back(), "stop timer 1") << "a finished download stage leaves the bar where it is";
    d.stages.OnTimer(DialogTimer::Install, d.window);
    EXPECT_EQ(d.window.log.back(), "stop timer 2");
    EXPECT_EQ(d.window.log[d.window.log.size() - 2], "progress 1000");
}

TEST(UpdateStages, CancelBetweenPackagesInstallsNothingAndIsRefusedOnceInstalling) {
    Dialog d(3);
    d.stages.OnDownload(d.window);
    d.work.WaitForCall("download 0");
    d.work.Release(0);
    d.work.WaitForCall("download 1");
    EXPECT_TRUE(d.stages.OnCancel());
    d.stages.Finish();  // returns only once the download in progress gave up
    EXPECT_EQ(d.work.Calls(), (std::vector<std::string>{"download 0", "download 1"}));
    EXPECT_EQ(d.stages.Outcome(), StageOutcome::Cancelled);
    EXPECT_EQ(d.flags.downloadFinished.load(), 1);

    Dialog installing(1);
    installing.stages.OnDownload(installing.window);
    installing.work.Release(0);
    ASSERT_TRUE(installing.PumpUntilSeen(std::string("message ") + kClosingClient));
    EXPECT_FALSE(installing.stages.OnCancel());
    ASSERT_TRUE(installing.PumpUntil([&] { return installing.window.ended; }));
    EXPECT_EQ(installing.flags.cancelRequested.load(), 0);
}

// The engine has shown why; the client is neither stopped nor the next package fetched.
TEST(UpdateStages, ARefusedPackageEndsTheStagesBeforeTheClientIsStopped) {
    Dialog d(3);
    d.work.refusedDownload = 1;
    d.stages.OnDownload(d.window);
    d.work.Release(1);
    ASSERT_TRUE(d.PumpUntil([&] { return d.window.ended; }));
    d.stages.Finish();
    EXPECT_EQ(d.work.Calls(), (std::vector<std::string>{"download 0", "download 1"}));
    EXPECT_EQ(d.stages.Outcome(), StageOutcome::PackageRefused);
    EXPECT_FALSE(d.window.Saw(std::string("message ") + kClosingClient));
    EXPECT_TRUE(d.window.Saw("stop timer 1"));
    EXPECT_FALSE(d.window.Saw("row 1 下载完成。"));
    EXPECT_EQ(d.flags.downloadFinished.load(), 1);
}

TEST(UpdateStages, AThreadThatCannotBeMadeEndsTheStageWithItsMessage) {
    // 1 the manager, 2 the first download, 3 its waiting thread.
    for (int refused : {1, 2, 3}) {
        Dialog d(2);
        d.launcher.refuse = refused;
        d.stages.OnDownload(d.window);
        ASSERT_TRUE(d.PumpUntil([&] { return d.window.ended; })) << refused;
        d.stages.Finish();
        const std::string message = refused == 1 ? std::string("message ") + kCreateThreadError + " (app)"
                                                 : std::string("message ") + kThreadFailed;
        EXPECT_TRUE(d.window.Saw(message)) << refused;
        EXPECT_EQ(d.window.log.back(), "end 0");
        EXPECT_EQ(d.work.Calls(), refused == 3 ? std::vector<std::string>{"download 0"} : std::vector<std::string>{});
        EXPECT_EQ(d.stages.Outcome(), StageOutcome::ThreadFailed);
    }
    // The install thread: the client was stopped, and the user is told.
    Dialog d(1);
    d.launcher.refuse = 4;
    d.stages.OnDownload(d.window);
    d.work.Release(0);
    ASSERT_TRUE(d.PumpUntil([&] { return d.window.ended; }));
    EXPECT_TRUE(d.window.Saw(std::string("message ") + kThreadFailed));
    EXPECT_EQ(d.work.Calls(), (std::vector<std::string>{"download 0", "stop client"}));
}

TEST(UpdateStages, FailedInstallsAndRestartsEndTheWindowAfterSayingSo) {
    Dialog stopped(1);
    stopped.work.installResult = InstallResult::UnpackFailed;
    stopped.stages.OnDownload(stopped.window);
    stopped.work.Release(0);
    ASSERT_TRUE(stopped.PumpUntil([&] { return stopped.window.ended; }));
    EXPECT_EQ(stopped.stages.Outcome(), StageOutcome::InstallStopped);
    EXPECT_EQ(stopped.work.Calls().back(), "install") << "no restart after a failed installation";

    Dialog notStarted(1);
    notStarted.work.startResult = false;
    notStarted.stages.OnDownload(notStarted.window);
    notStarted.work.Release(0);
    ASSERT_TRUE(notStarted.PumpUntil([&] { return notStarted.window.ended; }));
    EXPECT_TRUE(notStarted.window.Saw(std::string("message ") + kRestartFailed));
    EXPECT_EQ(notStarted.stages.Outcome(), StageOutcome::RestartFailed);
}

TEST(UpdateStages, WithoutEntriesThereIsNothingToDownload) {
    Dialog d(0);
    EXPECT_FALSE(d.stages.CanDownload());
    d.stages.OnDownload(d.window);
    EXPECT_TRUE(d.window.log.empty());
    EXPECT_EQ(d.stages.Stage(), DialogStage::Choose);
    EXPECT_TRUE(d.stages.OnCancel());
}

TEST(DialogMailbox, AClosingWindowLetsWaitingWorkersGo) {
    RecordingWindow window;
    DialogMailbox mailbox(window, nullptr);
    EXPECT_TRUE(mailbox.Call([](UpdateWindow& w) { w.SetProgress(1); })) << "on the window's thread at once";
    std::atomic<int> answer{-1};
    std::thread worker([&] {
        mailbox.Post([](UpdateWindow& w) { w.SetProgress(2); });
        answer = mailbox.Call([](UpdateWindow& w) { w.SetProgress(3); });
    });
    while (window.log.size() < 3) {
        mailbox.WaitForMail(5ms);
        mailbox.Deliver();
    }
    worker.join();
    EXPECT_EQ(answer.load(), 1);
    EXPECT_EQ(window.log, (std::vector<std::string>{"progress 1", "progress 2", "progress 3"}));

    std::thread waiting([&] { answer = mailbox.Call([](UpdateWindow& w) { w.SetProgress(4); }); });
    std::this_thread::sleep_for(20ms);
    mailbox.Close();
    waiting.join();
    EXPECT_EQ(answer.load(), 0);
    mailbox.Post([](UpdateWindow& w) { w.SetProgress(5); });
    mailbox.Deliver();
    EXPECT_EQ(window.log.size(), 3u);
}

}  // namespace
}  // namespace update
