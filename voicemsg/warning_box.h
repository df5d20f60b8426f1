#pragma once

namespace voicemsg {

// Tells the user that even an empty message queue cannot take a block: a
// message box with no owner on Windows, a line on standard error elsewhere.
void ShowQueueMemoryWarning();

// The warning's text and caption, as the user reads them.
inline constexpr char kQueueMemoryWarningText[] = "初始内存都不够用！";
inline constexpr char kQueueMemoryWarningCaption[] = "Huh?";

}  // namespace voicemsg
