#include <unistd.h>

#include "terminal.h"

namespace voicemsg {

bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

}  // namespace voicemsg
