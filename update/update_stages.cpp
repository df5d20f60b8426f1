#include "update/update_stages.h"

#include "update/update_texts.h"

namespace update {

UpdateStages::UpdateStages(UpdateFlags& flags, StageWork& work, WorkerLauncher& launcher, DialogMailbox& mailbox)
    : flags_(flags), work_(work), launcher_(launcher), mailbox_(mailbox) {}

UpdateStages::~UpdateStages() { Finish(); }

bool UpdateStages::CanDownload() const { return stage_.load() == DialogStage::Choose && work_.EntryCount() > 0; }

void UpdateStages::SetOutcome(StageOutcome outcome) {
    StageOutcome open = StageOutcome::Open;
    outcome_.compare_exchange_strong(open, outcome);
}

void UpdateStages::OnDownload(UpdateWindow& window) {
    if (!CanDownload()) return;
    stage_.store(DialogStage::Download);
    window.ShowProgressControls();
    if (!window.LoadTipBitmap(kDownloadTip))
        window.ShowMessage(kPictureFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
    window.StartTimer(DialogTimer::Download);
    manager_ = launcher_.Start([this] { DownloadAll(); });
    if (manager_ == nullptr) {
        stage_.store(DialogStage::Ended);
        SetOutcome(StageOutcome::ThreadFailed);
        window.ShowMessage(kCreateThreadError, MessageCaption::Application, MessageIcon::None);
        window.EndDialog(0);
        return;
    }
    window.SetRowStatus(0, kDownloading);
}

bool UpdateStages::OnCancel() {
    DialogStage stage = stage_.load();
    while (stage != DialogStage::Install) {
        if (stage_.compare_exchange_weak(stage, DialogStage::Ended)) {
            flags_.cancelRequested.store(1);
            SetOutcome(StageOutcome::Cancelled);
            return true;
        }
    }
    return false;
}

void UpdateStages::OnTimer(DialogTimer timer, UpdateWindow& window) {
    if (timer == DialogTimer::Download && flags_.downloadFinished.load() != 0) {
        window.StopTimer(timer);
        return;
    }
    if (timer == DialogTimer::Install && flags_.installFinished.load() != 0) {
        window.SetProgress(kProgressRange);
        window.StopTimer(timer);
        return;
    }
    window.SetProgress(ProgressPosition(flags_.currentIndex.load(), flags_.packageCount.load()));
}

void UpdateStages::Finish() {
    mailbox_.Close();
    if (manager_ != nullptr) manager_->Join();
    if (install_ != nullptr) install_->Join();
}

void UpdateStages::DownloadAll() {
    const int count = work_.EntryCount();
    flags_.packageCount.store(count);
    int fetched = 0;
    for (int i = 0; i < count && flags_.cancelRequested.load() == 0; ++i) {
        flags_.currentIndex.store(i);
        flags_.packageDone.store(0);
        // An unchecked transfer that failed is not looked at here: it shows as
        // a missing archive when installing. A refused one ends the stages.
        std::unique_ptr<Worker> download = launcher_.Start([this, i] { lastDownload_.store(work_.DownloadEntry(i)); });
        if (download == nullptr) {
            EndForThreadFailure();
            return;
        }
        Worker* running = download.get();
        std::unique_ptr<Worker> wait = launcher_.Start([this, running] { WaitForDownload(*running); });
        if (wait == nullptr) {
            // The download is abandoned, its partial file removed, before the stage ends.
            flags_.cancelRequested.store(1);
            download->Join();
            EndForThreadFailure();
            return;
        }
        wait->Join();
        if (flags_.packageDone.load() == 0 || flags_.cancelRequested.load() != 0) break;
        if (lastDownload_.load() == DownloadResult::Refused) {
            EndForRefusedPackage();
            return;
        }
        ++fetched;
        mailbox_.Post([i, count](UpdateWindow& window) {
            window.SetProgress(ProgressPosition(i + 1, count));
            window.SetRowStatus(i, kDownloadDone);
            if (i + 1 < count) window.SetRowStatus(i + 1, kDownloading);
        });
    }
    if (fetched == count && count > 0) {
        flags_.packageDone.store(1);
        flags_.downloadFinished.store(1);
        mailbox_.Post([](UpdateWindow& window) { window.StopTimer(DialogTimer::Download); });
        BeginInstallStage();
    }
    flags_.downloadFinished.store(1);
}

void UpdateStages::WaitForDownload(Worker& download) {
    download.Join();
    if (flags_.cancelRequested.load() == 0) flags_.packageDone.store(1);
}

void UpdateStages::BeginInstallStage() {
    DialogStage downloading = DialogStage::Download;
    if (!stage_.compare_exchange_strong(downloading, DialogStage::Install)) return;  // cancelled meanwhile
    mailbox_.Post([](UpdateWindow& window) { window.LoadTipBitmap(kUpdateTip); });
    if (!mailbox_.Call([](UpdateWindow& window) {
            window.ShowMessage(kClosingClient, MessageCaption::MessageManager, MessageIcon::Information);
        })) {
        // The window is gone: nothing was stopped or installed.
        stage_.store(DialogStage::Ended);
        SetOutcome(StageOutcome::Cancelled);
        return;
    }
    mailbox_.Post([](UpdateWindow& window) {
        window.SetRowStatus(0, kInstalling);
        window.DisableCancel();
    });
    work_.StopClient();
    // The install thread counts its own packages from the first.
    flags_.currentIndex.store(0);
    mailbox_.Post([](UpdateWindow& window) {
        window.SetProgressLabel(kInstallProgressLabel);
        window.StopTimer(DialogTimer::Download);
        window.SetProgress(0);
        window.StartTimer(DialogTimer::Install);
    });
    install_ = launcher_.Start([this] { InstallThread(); });
    if (install_ == nullptr) EndForThreadFailure();
}

void UpdateStages::InstallThread() {
    if (work_.InstallAll() != InstallResult::Installed) {
        SetOutcome(StageOutcome::InstallStopped);
    } else if (work_.StartClient()) {
        SetOutcome(StageOutcome::Restarted);
    } else {
        SetOutcome(StageOutcome::RestartFailed);
        mailbox_.Call([](UpdateWindow& window) {
            window.ShowMessage(kRestartFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
        });
    }
    stage_.store(DialogStage::Ended);
    mailbox_.Post([](UpdateWindow& window) { window.EndDialog(0); });
}

void UpdateStages::EndForRefusedPackage() {
    flags_.downloadFinished.store(1);
    stage_.store(DialogStage::Ended);
    SetOutcome(StageOutcome::PackageRefused);
    mailbox_.Post([](UpdateWindow& window) {
        window.StopTimer(DialogTimer::Download);
        window.EndDialog(0);
    });
}

void UpdateStages::EndForThreadFailure() {
    flags_.downloadFinished.store(1);
    stage_.store(DialogStage::Ended);
    SetOutcome(StageOutcome::ThreadFailed);
    mailbox_.Call([](UpdateWindow& window) {
        window.ShowMessage(kThreadFailed, MessageCaption::MessageManager, MessageIcon::Exclamation);
    });
    mailbox_.Post([](UpdateWindow& window) { window.EndDialog(0); });
}

}  // namespace update
