#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <map>
#include <memory>
#include <mutex>

#include "audio/wave_device.h"

// The winmm calls of one direction, so that capture and playback share the
// header bookkeeping below.
struct WinmmIn {
    using Handle = HWAVEIN;
    static constexpr auto open = waveInOpen;
    static constexpr auto prepare = waveInPrepareHeader;
    static constexpr auto unprepare = waveInUnprepareHeader;
    static constexpr auto queue = waveInAddBuffer;
    static constexpr auto reset = waveInReset;
    static constexpr auto close = waveInClose;
    static constexpr auto start = waveInStart;
    static constexpr UINT kReturnMessage = WIM_DATA;
};

struct WinmmOut {
    using Handle = HWAVEOUT;
    static constexpr auto open = waveOutOpen;
    static constexpr auto prepare = waveOutPrepareHeader;
    static constexpr auto unprepare = waveOutUnprepareHeader;
    static constexpr auto queue = waveOutWrite;
    static constexpr auto reset = waveOutReset;
    static constexpr auto close = waveOutClose;
    static constexpr UINT kReturnMessage = WOM_DONE;
};

// A winmm wave device on the wave mapper. Each client buffer gets a WAVEHDR
// of its own at its first Prepare, kept until the device is closed, whose
// user field leads the callback back to the client buffer.
template <class Api>
class WinmmStream {
public:
    ~WinmmStream() {
        if (!handle_) return;
        Api::reset(handle_);
        Close();
    }

    uint32_t Open(const WaveFormat& format, WaveProc proc, void* instance) {
        if (handle_) return kWaveError;
        proc_ = proc;
        instance_ = instance;
        WAVEFORMATEX wfx{format.formatTag, format.channels, format.samplesPerSec, format.avgBytesPerSec,
                         format.blockAlign, format.bitsPerSample, format.extraSize};
        const MMRESULT result = Api::open(&handle_, WAVE_MAPPER, &wfx, DWORD_PTR(&WinmmStream::Callback),
                                          DWORD_PTR(this), CALLBACK_FUNCTION);
        if (result != MMSYSERR_NOERROR) handle_ = nullptr;
        return result;
    }

    uint32_t Prepare(WaveBuffer* buffer) {
        if (!buffer) return kWaveInvalidParam;
        WAVEHDR* header = HeaderFor(buffer);
        header->lpData = reinterpret_cast<LPSTR>(buffer->data);
        header->dwBufferLength = buffer->length;
        header->dwUser = DWORD_PTR(buffer);
        return Sync(buffer, *header, Api::prepare(handle_, header, sizeof(WAVEHDR)));
    }

    uint32_t Unprepare(WaveBuffer* buffer) {
        if (!buffer) return kWaveInvalidParam;
        WAVEHDR* header = HeaderFor(buffer);
        return Sync(buffer, *header, Api::unprepare(handle_, header, sizeof(WAVEHDR)));
    }

    // Adds a capture buffer or writes a playback buffer.
    uint32_t Add(WaveBuffer* buffer) {
        if (!buffer) return kWaveInvalidParam;
        WAVEHDR* header = HeaderFor(buffer);
        header->dwBytesRecorded = buffer->bytesRecorded;
        return Sync(buffer, *header, Api::queue(handle_, header, sizeof(WAVEHDR)));
    }

    uint32_t Start() { return Api::start(handle_); }  // capture only
    uint32_t Reset() { return Api::reset(handle_); }

    // The headers go only once the device let go of them.
    uint32_t Close() {
        const MMRESULT result = Api::close(handle_);
        if (result != MMSYSERR_NOERROR) return result;
        handle_ = nullptr;
        std::lock_guard guard(lock_);
        headers_.clear();
        return result;
    }

private:
    static void CALLBACK Callback(typename Api::Handle, UINT message, DWORD_PTR instance, DWORD_PTR param,
                                  DWORD_PTR) {
        auto* self = reinterpret_cast<WinmmStream*>(instance);
        WaveBuffer* buffer = nullptr;
        if (message == Api::kReturnMessage) {
            auto* header = reinterpret_cast<WAVEHDR*>(param);
            buffer = reinterpret_cast<WaveBuffer*>(header->dwUser);
            buffer->bytesRecorded = header->dwBytesRecorded;
            buffer->flags = header->dwFlags;
        }
        if (self->proc_) self->proc_(message, self->instance_, buffer);
    }

    WAVEHDR* HeaderFor(WaveBuffer* buffer) {
        std::lock_guard guard(lock_);
        auto& header = headers_[buffer];
        if (!header) header = std::make_unique<WAVEHDR>();
        return header.get();
    }

    static uint32_t Sync(WaveBuffer* buffer, const WAVEHDR& header, MMRESULT result) {
        buffer->flags = header.dwFlags;
        return result;
    }

    typename Api::Handle handle_ = nullptr;
    WaveProc proc_ = nullptr;
    void* instance_ = nullptr;
    std::mutex lock_;
    std::map<WaveBuffer*, std::unique_ptr<WAVEHDR>> headers_;
};
