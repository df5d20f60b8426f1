#include <windows.h>

#include "platform/win/wide_text.h"
#include "voicemsg/warning_box.h"

namespace voicemsg {

void ShowQueueMemoryWarning() {
    MessageBoxW(nullptr, platform::GbkToWide(kQueueMemoryWarningText).c_str(),
                platform::GbkToWide(kQueueMemoryWarningCaption).c_str(), MB_OK);
}

}  // namespace voicemsg
