#pragma once
// How the engine speaks to its user. The Windows dialog shows message boxes and
// list rows; the terminal front end prints. Methods are called from whichever
// thread runs the engine operation (the dialog's thread during the choose
// stage, the workers afterwards), one call at a time per operation.
#include <string>

namespace update {

enum class MessageIcon { None, Exclamation, Information };

enum class MessageCaption {
    MessageManager,  // "消息管理器"
    Application,     // the program's own name
};

class UpdateReporter {
public:
    virtual ~UpdateReporter() = default;
    // A message box with an OK button; returns once the user has taken it in.
    virtual void ShowMessage(const std::string& text, MessageCaption caption, MessageIcon icon) = 0;
    // The status column of list row `row` (the entry of that index).
    virtual void SetRowStatus(int row, const std::string& text) = 0;
};

}  // namespace update
