#pragma once

namespace voicemsg {

// Whether standard output is a terminal, where progress is shown in place.
bool StdoutIsTerminal();

}  // namespace voicemsg
