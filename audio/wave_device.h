#pragma once
#include <cstdint>

// The wave-device interface under CWaveIn and CWaveOut. It follows the
// multimedia wave API: the client prepares buffers and hands them to the
// device; the device fills (capture) or plays (playback) them in order and
// returns each through the client's callback with a data or done message.
// The callback may add a returned buffer back, or unprepare it, from inside.

// Callback messages, with the multimedia API's values.
constexpr uint32_t kWomOpen = 0x3BB;
constexpr uint32_t kWomClose = 0x3BC;
constexpr uint32_t kWomDone = 0x3BD;
constexpr uint32_t kWimOpen = 0x3BE;
constexpr uint32_t kWimClose = 0x3BF;
constexpr uint32_t kWimData = 0x3C0;

// Results, with the multimedia API's values.
constexpr uint32_t kWaveOk = 0;
constexpr uint32_t kWaveError = 1;
constexpr uint32_t kWaveBadDeviceId = 2;
constexpr uint32_t kWaveInvalidHandle = 5;
constexpr uint32_t kWaveInvalidParam = 11;
constexpr uint32_t kWaveBadFormat = 32;
constexpr uint32_t kWaveStillPlaying = 33;
constexpr uint32_t kWaveUnprepared = 34;

// Buffer state flags, with the multimedia API's values.
constexpr uint32_t kWaveBufferDone = 0x01;
constexpr uint32_t kWaveBufferPrepared = 0x02;
constexpr uint32_t kWaveBufferInQueue = 0x10;

struct WaveFormat {
    uint16_t formatTag = 1;  // linear PCM
    uint16_t channels = 1;
    uint32_t samplesPerSec = 8000;
    uint32_t avgBytesPerSec = 16000;
    uint16_t blockAlign = 2;
    uint16_t bitsPerSample = 16;
    uint16_t extraSize = 0;
};

// One buffer in circulation; the client owns it and its data, the device
// keeps `flags` between Prepare and Unprepare or Close.
struct WaveBuffer {
    uint8_t* data = nullptr;
    uint32_t length = 0;
    uint32_t bytesRecorded = 0;
    uint32_t flags = 0;
};

using WaveProc = void (*)(uint32_t message, void* instance, WaveBuffer* buffer);

// Calls common to both directions. A device is opened once; after Close (or
// destruction, which closes) no callback is delivered any more. Reset returns
// every queued buffer through the callback; Close and destruction must not
// be called from inside the callback.
class WaveDevice {
public:
    virtual ~WaveDevice() = default;
    virtual uint32_t Open(const WaveFormat& format, WaveProc proc, void* instance) = 0;
    virtual uint32_t Prepare(WaveBuffer* buffer) = 0;
    virtual uint32_t Unprepare(WaveBuffer* buffer) = 0;
    virtual uint32_t Reset() = 0;
    virtual uint32_t Close() = 0;
};

// Capture: added buffers are filled once Start has been called and come
// back with kWimData and bytesRecorded set.
class WaveInDevice : public WaveDevice {
public:
    virtual uint32_t AddBuffer(WaveBuffer* buffer) = 0;
    virtual uint32_t Start() = 0;
};

// Playback: written buffers play in order and come back with kWomDone.
class WaveOutDevice : public WaveDevice {
public:
    virtual uint32_t Write(WaveBuffer* buffer) = 0;
};
