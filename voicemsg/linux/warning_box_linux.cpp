#include <cstdio>

#include "platform/text_encoding.h"
#include "voicemsg/warning_box.h"

void ShowQueueMemoryWarning() {
    std::fprintf(stderr, "%s: %s\n", kQueueMemoryWarningCaption,
                 platform::GbkToUtf8(kQueueMemoryWarningText).c_str());
}
