#include "audio/linux/alsa_quiet.h"

#include <alsa/asoundlib.h>

#include <mutex>

namespace {

void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void SilenceAlsaMessages() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(IgnoreAlsaMessage); });
}
