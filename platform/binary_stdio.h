#pragma once

namespace platform {

// Puts standard input and output into binary mode where the platform distinguishes it.
void SetBinaryStdio();

}  // namespace platform
