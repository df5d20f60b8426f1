#include "codec/tools/g729a/binary_stdio.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

void SetBinaryStdio() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}
