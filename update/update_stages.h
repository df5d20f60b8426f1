#pragma once
// The updater dialog's stages apart from its window:
//   choose:   the rows are listed; "下载" is offered only when there is one;
//   download: a manager thread runs one download thread and one waiting
//             thread per entry, one entry after the other;
//   install:  the manager tells the user, stops the client and starts the
//             install thread, which installs, restarts the client and ends
//             the window.
// The user may cancel until the installation begins; the download in
// progress is then abandoned and nothing is installed. A package refused by
// its check ends the stages the same way, before the client is stopped. Threads meet the
// window only through the mailbox and the atomic flags.
#include <atomic>
#include <memory>

#include "update/dialog_mailbox.h"
#include "update/update_engine.h"
#include "update/update_flags.h"
#include "update/update_window.h"
#include "update/worker_threads.h"

namespace update {

enum class DialogStage { Choose, Download, Install, Ended };

// How the stages ended, for front ends that report it.
enum class StageOutcome { Open, Cancelled, ThreadFailed, PackageRefused, InstallStopped, Restarted, RestartFailed };

// The engine's operations that the stages run on their threads.
class StageWork {
public:
    virtual ~StageWork() = default;
    virtual int EntryCount() const = 0;
    virtual DownloadResult DownloadEntry(int index) = 0;
    virtual bool StopClient() = 0;
    virtual InstallResult InstallAll() = 0;
    virtual bool StartClient() = 0;
};

class EngineStageWork final : public StageWork {
public:
    explicit EngineStageWork(UpdateEngine& engine) : engine_(engine) {}
    int EntryCount() const override { return int(engine_.Entries().size()); }
    DownloadResult DownloadEntry(int index) override { return engine_.DownloadEntry(index); }
    bool StopClient() override { return engine_.StopClient(); }
    InstallResult InstallAll() override { return engine_.InstallAll(); }
    bool StartClient() override { return engine_.StartClient(); }

private:
    UpdateEngine& engine_;
};

// The engine's messages and row texts on their way to the window: a message
// waits for the user, a row text is posted.
class MailboxReporter final : public UpdateReporter {
public:
    explicit MailboxReporter(DialogMailbox& mailbox) : mailbox_(mailbox) {}
    void ShowMessage(const std::string& text, MessageCaption caption, MessageIcon icon) override {
        mailbox_.Call([text, caption, icon](UpdateWindow& window) { window.ShowMessage(text, caption, icon); });
    }
    void SetRowStatus(int row, const std::string& text) override {
        mailbox_.Post([row, text](UpdateWindow& window) { window.SetRowStatus(row, text); });
    }

private:
    DialogMailbox& mailbox_;
};

class UpdateStages {
public:
    UpdateStages(UpdateFlags& flags, StageWork& work, WorkerLauncher& launcher, DialogMailbox& mailbox);
    ~UpdateStages();
    UpdateStages(const UpdateStages&) = delete;
    UpdateStages& operator=(const UpdateStages&) = delete;

    // The window's thread.
    bool CanDownload() const;
    // "下载": the download stage with its manager thread.
    void OnDownload(UpdateWindow& window);
    // The user's cancel; true when the window may close (not once installing).
    bool OnCancel();
    void OnTimer(DialogTimer timer, UpdateWindow& window);
    // Once the window has closed: the mailbox closed, the workers waited for.
    void Finish();

    DialogStage Stage() const { return stage_.load(); }
    StageOutcome Outcome() const { return outcome_.load(); }

private:
    void DownloadAll();
    // The waiting thread: `packageDone` once the download has ended, unless cancelled.
    void WaitForDownload(Worker& download);
    void BeginInstallStage();
    void InstallThread();
    // A worker could not be made: the stage ends with "创建线程失败" and the window.
    void EndForThreadFailure();
    // A package was refused (its reason shown already): the stage ends with the window.
    void EndForRefusedPackage();
    void SetOutcome(StageOutcome outcome);

    UpdateFlags& flags_;
    StageWork& work_;
    WorkerLauncher& launcher_;
    DialogMailbox& mailbox_;
    std::atomic<DialogStage> stage_{DialogStage::Choose};
    std::atomic<StageOutcome> outcome_{StageOutcome::Open};
    std::atomic<DownloadResult> lastDownload_{DownloadResult::Done};  // written by each download thread
    std::unique_ptr<Worker> manager_;  // made and joined on the window's thread
    std::unique_ptr<Worker> install_;  // made by the manager; joined after it
};

}  // namespace update
