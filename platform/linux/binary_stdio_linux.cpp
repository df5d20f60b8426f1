#include "platform/binary_stdio.h"

namespace platform {

void SetBinaryStdio() {}

}  // namespace platform
