#include "codec/tools/g729a/binary_stdio.h"

void SetBinaryStdio() {}
