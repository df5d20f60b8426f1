#include "voicemsg/leave_word_recorder.h"
#include "voicemsg/warning_box.h"

LeaveWordServices DefaultLeaveWordServices() {
    LeaveWordServices services;
    services.oversizeWarning = ShowQueueMemoryWarning;
    return services;
}
