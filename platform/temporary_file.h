#pragma once
// The backends' side of a CommittingWriter: the order of closing, renaming
// and removing that both follow, over each system's calls.
#include "platform/file_system.h"

namespace platform {

class TemporaryFile : public CommittingWriter {
protected:
    // Closes the file; false when anything written was lost.
    virtual bool Close() = 0;
    // Gives the closed temporary file the target's name.
    virtual CommitResult Rename(bool replace) = 0;
    virtual void Remove() = 0;

    // Closes, renames, and removes the temporary file unless it became the target.
    CommitResult Finish(bool replace) {
        const CommitResult result = Close() ? Rename(replace) : CommitResult::Failed;
        if (result == CommitResult::Done) pending_ = false;
        Drop();
        return result;
    }
    // For the derived destructor, while Remove is still its own.
    void Drop() {
        if (pending_) Remove();
        pending_ = false;
    }

private:
    bool pending_ = true;  // the temporary file is there
};

}  // namespace platform
