#pragma once
// A mixer described by a table, standing in for the system's in tests of the
// mixer classes: devices with destination and source lines, controls with
// values, volumes with coarse steps, injected failures and a log of the calls.
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "audio/mixer/mixer_api.h"

struct ScriptedControl {
    uint32_t id = 0;
    uint32_t type = 0;
    std::string label;  // "<line name> <volume|mute|mux|mixer>", as the log shows it
    uint32_t value = 0;  // a volume or a mute
    // A volume's steps over 0..65535: a write keeps the highest step at or
    // below the value written. 0: every value is a step.
    uint32_t steps = 0;
    std::optional<uint32_t> readsAs;  // a volume that always reads back this
    std::vector<MixerListItem> items;  // an input selector's items
    std::vector<uint32_t> states;      // and whether each is on
};

class ScriptedMixer final : public MixerApi {
public:
    uint32_t AddDevice(const std::string& name);
    // Lines get ids of their own within the device; these return them.
    uint32_t AddDestination(uint32_t device, uint32_t componentType, const std::string& name);
    uint32_t AddSource(uint32_t device, uint32_t destinationLineId, uint32_t componentType, const std::string& name);
    ScriptedControl& AddControl(uint32_t device, uint32_t lineId, uint32_t type, uint32_t value = 0);
    // An input selector (kMixerControlMux or kMixerControlMixer) with items
    // named and linked to lines (line id 0: a line the mixer does not have).
    ScriptedControl& AddSelector(uint32_t device, uint32_t lineId, uint32_t type,
                                 const std::vector<std::pair<uint32_t, std::string>>& items);

    // Every call whose log entry starts with `prefix` fails with `result`.
    void FailWhen(const std::string& prefix, uint32_t result = kMixerError);
    const std::vector<std::string>& Log() const { return log_; }
    // The log's writes only ("set ..." entries).
    std::vector<std::string> Writes() const;
    void ClearLog() { log_.clear(); }
    size_t OpenHandles() const { return open_.size(); }

    uint32_t DeviceCount() override { return uint32_t(devices_.size()); }
    uint32_t Open(uint32_t device, MixerHandle& handle) override;
    uint32_t Close(MixerHandle handle) override;
    uint32_t Caps(uint32_t device, MixerCaps& caps) override;
    uint32_t LineByComponentType(MixerHandle handle, uint32_t componentType, MixerLine& line) override;
    uint32_t LineByDestination(MixerHandle handle, uint32_t destination, MixerLine& line) override;
    uint32_t LineBySource(MixerHandle handle, uint32_t destination, uint32_t source, MixerLine& line) override;
    uint32_t LineById(MixerHandle handle, uint32_t lineId, MixerLine& line) override;
    uint32_t ControlByType(MixerHandle handle, uint32_t lineId, uint32_t controlType, MixerControl& control) override;
    uint32_t GetUnsigned(MixerHandle handle, uint32_t controlId, uint32_t& value) override;
    uint32_t SetUnsigned(MixerHandle handle, uint32_t controlId, uint32_t value) override;
    uint32_t GetBooleans(MixerHandle handle, uint32_t controlId, uint32_t items, std::vector<uint32_t>& values) override;
    uint32_t SetBooleans(MixerHandle handle, uint32_t controlId, const std::vector<uint32_t>& values) override;
    uint32_t GetListTexts(MixerHandle handle, uint32_t controlId, uint32_t items,
                          std::vector<MixerListItem>& texts) override;

private:
    struct Line {
        MixerLine line;
        std::string name;
        std::vector<ScriptedControl*> controls;
    };
    struct Destination {
        Line line;
        std::vector<Line> sources;
    };
    struct Device {
        std::string name;
        std::deque<Destination> destinations;
        std::deque<ScriptedControl> controls;
        uint32_t nextLineId = 1;
    };

    // Logs the call; its result: an injected failure or kMixerOk.
    uint32_t Call(const std::string& entry);
    // Logs a line lookup; the handle's device, or null with `result` set.
    Device* LineCall(MixerHandle handle, const std::string& entry, uint32_t& result);
    // Logs "<verb> <label><detail>"; the control, or null with `result` set.
    ScriptedControl* ControlCall(MixerHandle handle, uint32_t controlId, const std::string& verb,
                                 const std::string& detail, uint32_t& result);
    static Line* FindLine(Device& device, uint32_t lineId);

    std::deque<Device> devices_;
    std::map<MixerHandle, uint32_t> open_;
    MixerHandle nextHandle_ = 0x100;
    uint32_t nextControlId_ = 1;
    std::vector<std::pair<std::string, uint32_t>> failures_;
    std::vector<std::string> log_;
};
