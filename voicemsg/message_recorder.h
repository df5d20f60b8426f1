#pragma once
#include <cstddef>
#include <cstdint>

namespace voicemsg {

// The voice-message recorder as the dialog drives it, from one thread.
class MessageRecorder {
public:
    enum State : int32_t { Playing = 0, Recording = 1, Idle = 3 };

    virtual ~MessageRecorder() = default;
    virtual int32_t GetState() const = 0;
    // Only in idle; false otherwise.
    virtual bool StartRecording() = 0;
    // Only while recording; false otherwise. Waits for the device to go quiet.
    virtual bool StopRecording() = 0;
    // Only in idle.
    virtual void StartPlayback() = 0;
    // Only while playing. Waits for the device to go quiet.
    virtual void StopPlayback() = 0;
    // The message's pack text into `out`, which holds kPackTextCapacity bytes.
    virtual uint32_t BuildPackText(char* out) = 0;
    virtual void LoadPackText(const char* text, uint32_t length) = 0;
    virtual size_t BlockCount() const = 0;
};

}  // namespace voicemsg
