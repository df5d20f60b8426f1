#pragma once

// Device and mixer failures are swallowed, so the sound library's own
// messages on standard error are too. Safe to call from any thread, any number of times.
void SilenceAlsaMessages();
