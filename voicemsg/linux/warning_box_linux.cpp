#include <cstdio>

#include "platform/text_encoding.h"
#include "voicemsg/warning_box.h"

namespace voicemsg {

void ShowQueueMemoryWarning() {
    std::fprintf(stderr, "%s: %s\n", kQueueMemoryWarningCaption,
                 platform::GbkToUtf8(kQueueMemoryWarningText).c_str());
}

}  // namespace voicemsg
