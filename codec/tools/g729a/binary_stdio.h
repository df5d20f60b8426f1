#pragma once

// Puts standard input and output into binary mode where the platform distinguishes it.
void SetBinaryStdio();
