#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The system mixer as the multimedia API presents it: numbered devices, each
// with destination lines (the speakers, the recording) fed by source lines
// (the microphone, ...), and controls (volume, mute, input selection) on the
// lines. The mixer classes are written against this seam; the winmm backend
// passes it to the system, a scripted one stands in for it in tests.

// Line component types, control types and results, with the API's values.
constexpr uint32_t kMixerDstSpeakers = 4;
constexpr uint32_t kMixerDstWaveIn = 7;
constexpr uint32_t kMixerSrcMicrophone = 0x1003;
constexpr uint32_t kMixerSrcLine = 0x1002;
constexpr uint32_t kMixerControlVolume = 0x50030001;
constexpr uint32_t kMixerControlMute = 0x20010002;
constexpr uint32_t kMixerControlMux = 0x71010001;
constexpr uint32_t kMixerControlMixer = 0x70010001;

constexpr uint32_t kMixerOk = 0;
constexpr uint32_t kMixerError = 1;
constexpr uint32_t kMixerBadDeviceId = 2;
constexpr uint32_t kMixerInvalidHandle = 5;
constexpr uint32_t kMixerNotSupported = 8;
constexpr uint32_t kMixerInvalidParam = 11;
constexpr uint32_t kMixerInvalidLine = 1024;
constexpr uint32_t kMixerInvalidControl = 1025;

using MixerHandle = uintptr_t;  // 0: none
using MixerText = std::u16string;  // names as the wide calls give them

struct MixerCaps {
    uint32_t destinations = 0;
    MixerText name;
};

struct MixerLine {
    uint32_t destination = 0;  // index of the destination line (its own for a destination)
    uint32_t source = 0;       // index among the destination's sources
    uint32_t lineId = 0;
    uint32_t componentType = 0;
    uint32_t connections = 0;  // a destination's number of sources
};

struct MixerControl {
    uint32_t controlId = 0;
    uint32_t multipleItems = 0;  // items of an input selector; 0 for a single value
};

// One entry of an input selector: the source line it stands for and its name.
struct MixerListItem {
    uint32_t lineId = 0;
    MixerText name;
};

// Every call returns kMixerOk or the API's error code. Details are read and
// written for one channel: the value applies to all of the line's channels.
class MixerApi {
public:
    virtual ~MixerApi() = default;
    virtual uint32_t DeviceCount() = 0;
    virtual uint32_t Open(uint32_t device, MixerHandle& handle) = 0;
    virtual uint32_t Close(MixerHandle handle) = 0;
    virtual uint32_t Caps(uint32_t device, MixerCaps& caps) = 0;
    // The first line of the component type, destinations before sources.
    virtual uint32_t LineByComponentType(MixerHandle handle, uint32_t componentType, MixerLine& line) = 0;
    virtual uint32_t LineByDestination(MixerHandle handle, uint32_t destination, MixerLine& line) = 0;
    virtual uint32_t LineBySource(MixerHandle handle, uint32_t destination, uint32_t source, MixerLine& line) = 0;
    virtual uint32_t LineById(MixerHandle handle, uint32_t lineId, MixerLine& line) = 0;
    // The line's first control of the type.
    virtual uint32_t ControlByType(MixerHandle handle, uint32_t lineId, uint32_t controlType,
                                   MixerControl& control) = 0;
    // One unsigned or boolean detail: a volume, a mute.
    virtual uint32_t GetUnsigned(MixerHandle handle, uint32_t controlId, uint32_t& value) = 0;
    virtual uint32_t SetUnsigned(MixerHandle handle, uint32_t controlId, uint32_t value) = 0;
    // One boolean per item of an input selector with `items` items.
    virtual uint32_t GetBooleans(MixerHandle handle, uint32_t controlId, uint32_t items,
                                 std::vector<uint32_t>& values) = 0;
    virtual uint32_t SetBooleans(MixerHandle handle, uint32_t controlId, const std::vector<uint32_t>& values) = 0;
    virtual uint32_t GetListTexts(MixerHandle handle, uint32_t controlId, uint32_t items,
                                  std::vector<MixerListItem>& texts) = 0;
};
