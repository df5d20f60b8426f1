#include "voicemsg/leave_word_recorder.h"
#include "voicemsg/warning_box.h"

namespace voicemsg {

LeaveWordServices DefaultLeaveWordServices() {
    LeaveWordServices services;
    services.makeMixer = [] { return MakePlatformMixer(MixerCalls::Narrow); };
    services.oversizeWarning = ShowQueueMemoryWarning;
    return services;
}

}  // namespace voicemsg
