#pragma once
#include "voicemsg/lumvox.h"

namespace voicemsg {

class LeaveWordDialog;

// The pack for the host: the dialog's message text in a block of its own
// (data null and size 0 when that block cannot be allocated). Null only when
// the record itself cannot be allocated.
CStAudioLeaveWord* MakeLeaveWordPack(LeaveWordDialog& dialog);
// Frees a pack made above, text and record; null does nothing.
void FreeLeaveWordPack(CStAudioLeaveWord* pack);

}  // namespace voicemsg
