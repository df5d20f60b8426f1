#pragma once
// What the updater's stages do to its window. Every method runs on the
// window's own thread: workers reach it through a DialogMailbox.
#include <string>

#include "update/update_reporter.h"

namespace update {

enum class DialogTimer { Download = 1, Install = 2 };

class UpdateWindow {
public:
    virtual ~UpdateWindow() = default;
    // A modal message box; returns once the user has dismissed it.
    virtual void ShowMessage(const std::string& text, MessageCaption caption, MessageIcon icon) = 0;
    virtual void SetRowStatus(int row, const std::string& text) = 0;
    // Loads the banner picture of that file name from the tip bitmap folder; false when it cannot.
    virtual bool LoadTipBitmap(const char* name) = 0;
    // Details and "下载" away, the progress bar and its label in their place.
    virtual void ShowProgressControls() = 0;
    // "取消" and the Close item of the system menu disabled.
    virtual void DisableCancel() = 0;
    virtual void SetProgressLabel(const std::string& text) = 0;
    virtual void SetProgress(int position) = 0;
    virtual void StartTimer(DialogTimer timer) = 0;
    virtual void StopTimer(DialogTimer timer) = 0;
    virtual void EndDialog(int result) = 0;
};

}  // namespace update
