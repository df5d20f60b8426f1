#include "tests/audio/scripted_mixer.h"

#include <stdexcept>

namespace {

constexpr uint64_t kFullScale = 65535;

MixerText Text(const std::string& ascii) { return MixerText(ascii.begin(), ascii.end()); }

std::string TypeName(uint32_t type) {
    switch (type) {
        case kMixerControlVolume: return "volume";
        case kMixerControlMute: return "mute";
        case kMixerControlMux: return "mux";
        case kMixerControlMixer: return "mixer";
    }
    return std::to_string(type);
}

std::string Join(const std::vector<uint32_t>& values) {
    std::string text;
    for (uint32_t value : values) {
        if (!text.empty()) text += ',';
        text += std::to_string(value);
    }
    return text;
}

// The highest of the control's steps at or below the value.
uint32_t Stepped(const ScriptedControl& control, uint32_t value) {
    if (control.steps == 0) return value;
    const auto step = [&](uint64_t k) { return uint32_t((k * 2 * kFullScale + control.steps) / (2 * control.steps)); };
    uint64_t k = uint64_t(value) * control.steps / kFullScale;
    while (k < control.steps && step(k + 1) <= value) ++k;
    while (k > 0 && step(k) > value) --k;
    return step(k);
}

}  // namespace

uint32_t ScriptedMixer::AddDevice(const std::string& name) {
    devices_.push_back(Device{name, {}, {}, 1});
    return uint32_t(devices_.size() - 1);
}

uint32_t ScriptedMixer::AddDestination(uint32_t device, uint32_t componentType, const std::string& name) {
    Device& d = devices_.at(device);
    Line line;
    line.name = name;
    line.line.destination = uint32_t(d.destinations.size());
    line.line.lineId = d.nextLineId++;
    line.line.componentType = componentType;
    line.line.channels = 2;
    line.line.name = Text(name);
    d.destinations.push_back(Destination{line, {}});
    return line.line.lineId;
}

uint32_t ScriptedMixer::AddSource(uint32_t device, uint32_t destinationLineId, uint32_t componentType,
                                  const std::string& name) {
    Device& d = devices_.at(device);
    for (Destination& destination : d.destinations) {
        if (destination.line.line.lineId != destinationLineId) continue;
        Line line;
        line.name = name;
        line.line.destination = destination.line.line.destination;
        line.line.source = uint32_t(destination.sources.size());
        line.line.lineId = d.nextLineId++;
        line.line.componentType = componentType;
        line.line.channels = 1;
        line.line.name = Text(name);
        destination.sources.push_back(line);
        destination.line.line.connections = uint32_t(destination.sources.size());
        return line.line.lineId;
    }
    throw std::invalid_argument("no such destination");
}

ScriptedControl& ScriptedMixer::AddControl(uint32_t device, uint32_t lineId, uint32_t type, uint32_t value) {
    Device& d = devices_.at(device);
    Line* line = FindLine(d, lineId);
    if (!line) throw std::invalid_argument("no such line");
    ScriptedControl& control = d.controls.emplace_back();
    control.id = nextControlId_++;
    control.type = type;
    control.label = line->name + " " + TypeName(type);
    control.value = value;
    line->controls.push_back(&control);
    line->line.controls = uint32_t(line->controls.size());
    return control;
}

ScriptedControl& ScriptedMixer::AddSelector(uint32_t device, uint32_t lineId, uint32_t type,
                                            const std::vector<std::pair<uint32_t, std::string>>& items) {
    ScriptedControl& control = AddControl(device, lineId, type);
    for (const auto& [itemLineId, name] : items) control.items.push_back({itemLineId, Text(name)});
    control.states.assign(items.size(), 0);
    return control;
}

void ScriptedMixer::FailWhen(const std::string& prefix, uint32_t result) { failures_.emplace_back(prefix, result); }

std::vector<std::string> ScriptedMixer::Writes() const {
    std::vector<std::string> writes;
    for (const std::string& entry : log_) {
        if (entry.rfind("set", 0) == 0) writes.push_back(entry);
    }
    return writes;
}

uint32_t ScriptedMixer::Call(const std::string& entry) {
    log_.push_back(entry);
    for (const auto& [prefix, result] : failures_) {
        if (entry.rfind(prefix, 0) == 0) return result;
    }
    return kMixerOk;
}

ScriptedMixer::Device* ScriptedMixer::DeviceOf(MixerHandle handle) {
    const auto open = open_.find(handle);
    return open == open_.end() ? nullptr : &devices_[open->second];
}

ScriptedMixer::Line* ScriptedMixer::FindLine(Device& device, uint32_t lineId) {
    for (Destination& destination : device.destinations) {
        if (destination.line.line.lineId == lineId) return &destination.line;
        for (Line& source : destination.sources) {
            if (source.line.lineId == lineId) return &source;
        }
    }
    return nullptr;
}

ScriptedControl* ScriptedMixer::FindControl(Device& device, uint32_t controlId) {
    for (ScriptedControl& control : device.controls) {
        if (control.id == controlId) return &control;
    }
    return nullptr;
}

uint32_t ScriptedMixer::DeviceCount() { return uint32_t(devices_.size()); }

uint32_t ScriptedMixer::Open(uint32_t device, MixerHandle& handle) {
    if (const uint32_t result = Call("open " + std::to_string(device))) return result;
    if (device >= devices_.size()) return kMixerBadDeviceId;
    handle = nextHandle_++;
    open_[handle] = device;
    return kMixerOk;
}

uint32_t ScriptedMixer::Close(MixerHandle handle) {
    const auto open = open_.find(handle);
    if (open == open_.end()) return Call("close ?"), kMixerInvalidHandle;
    const uint32_t result = Call("close " + std::to_string(open->second));
    open_.erase(open);
    return result;
}

uint32_t ScriptedMixer::Caps(uint32_t device, MixerCaps& caps) {
    if (const uint32_t result = Call("caps " + std::to_string(device))) return result;
    if (device >= devices_.size()) return kMixerBadDeviceId;
    caps = MixerCaps{uint32_t(devices_[device].destinations.size()), Text(devices_[device].name)};
    return kMixerOk;
}

uint32_t ScriptedMixer::LineByComponentType(MixerHandle handle, uint32_t componentType, MixerLine& line) {
    if (const uint32_t result = Call("line type " + std::to_string(componentType))) return result;
    Device* device = DeviceOf(handle);
    if (!device) return kMixerInvalidHandle;
    for (const Destination& destination : device->destinations) {
        if (destination.line.line.componentType == componentType) return line = destination.line.line, kMixerOk;
    }
    for (const Destination& destination : device->destinations) {
        for (const Line& source : destination.sources) {
            if (source.line.componentType == componentType) return line = source.line, kMixerOk;
        }
    }
    return kMixerInvalidLine;
}

uint32_t ScriptedMixer::LineByDestination(MixerHandle handle, uint32_t destination, MixerLine& line) {
    if (const uint32_t result = Call("line destination " + std::to_string(destination))) return result;
    Device* device = DeviceOf(handle);
    if (!device) return kMixerInvalidHandle;
    if (destination >= device->destinations.size()) return kMixerInvalidLine;
    line = device->destinations[destination].line.line;
    return kMixerOk;
}

uint32_t ScriptedMixer::LineBySource(MixerHandle handle, uint32_t destination, uint32_t source, MixerLine& line) {
    if (const uint32_t result = Call("line source " + std::to_string(destination) + "." + std::to_string(source))) {
        return result;
    }
    Device* device = DeviceOf(handle);
    if (!device) return kMixerInvalidHandle;
    if (destination >= device->destinations.size() || source >= device->destinations[destination].sources.size()) {
        return kMixerInvalidLine;
    }
    line = device->destinations[destination].sources[source].line;
    return kMixerOk;
}

uint32_t ScriptedMixer::LineById(MixerHandle handle, uint32_t lineId, MixerLine& line) {
    if (const uint32_t result = Call("line id " + std::to_string(lineId))) return result;
    Device* device = DeviceOf(handle);
    if (!device) return kMixerInvalidHandle;
    const Line* found = FindLine(*device, lineId);
    if (!found) return kMixerInvalidLine;
    line = found->line;
    return kMixerOk;
}

uint32_t ScriptedMixer::ControlByType(MixerHandle handle, uint32_t lineId, uint32_t controlType,
                                      MixerControl& control) {
    Device* device = DeviceOf(handle);
    Line* line = device ? FindLine(*device, lineId) : nullptr;
    const std::string lineName = line ? line->name : std::to_string(lineId);
    if (const uint32_t result = Call("find " + lineName + " " + TypeName(controlType))) return result;
    if (!line) return kMixerInvalidLine;
    for (const ScriptedControl* c : line->controls) {
        if (c->type != controlType) continue;
        control = MixerControl{c->id, c->type, uint32_t(c->items.size()), Text(c->label)};
        return kMixerOk;
    }
    return kMixerNotSupported;
}

uint32_t ScriptedMixer::GetUnsigned(MixerHandle handle, uint32_t controlId, uint32_t& value) {
    Device* device = DeviceOf(handle);
    ScriptedControl* control = device ? FindControl(*device, controlId) : nullptr;
    if (const uint32_t result = Call("get " + (control ? control->label : std::to_string(controlId)))) return result;
    if (!control || !control->items.empty()) return kMixerInvalidControl;
    value = control->readsAs.value_or(control->value);
    return kMixerOk;
}

uint32_t ScriptedMixer::SetUnsigned(MixerHandle handle, uint32_t controlId, uint32_t value) {
    Device* device = DeviceOf(handle);
    ScriptedControl* control = device ? FindControl(*device, controlId) : nullptr;
    const std::string label = control ? control->label : std::to_string(controlId);
    if (const uint32_t result = Call("set " + label + " " + std::to_string(value))) return result;
    if (!control || !control->items.empty()) return kMixerInvalidControl;
    control->value = Stepped(*control, value);
    return kMixerOk;
}

uint32_t ScriptedMixer::GetBooleans(MixerHandle handle, uint32_t controlId, uint32_t items,
                                    std::vector<uint32_t>& values) {
    Device* device = DeviceOf(handle);
    ScriptedControl* control = device ? FindControl(*device, controlId) : nullptr;
    if (const uint32_t result = Call("get " + (control ? control->label : std::to_string(controlId)))) return result;
    if (!control || control->items.size() != items) return kMixerInvalidParam;
    values = control->states;
    return kMixerOk;
}

uint32_t ScriptedMixer::SetBooleans(MixerHandle handle, uint32_t controlId, const std::vector<uint32_t>& values) {
    Device* device = DeviceOf(handle);
    ScriptedControl* control = device ? FindControl(*device, controlId) : nullptr;
    const std::string label = control ? control->label : std::to_string(controlId);
    if (const uint32_t result = Call("set " + label + " " + Join(values))) return result;
    if (!control || control->items.size() != values.size()) return kMixerInvalidParam;
    control->states = values;
    return kMixerOk;
}

uint32_t ScriptedMixer::GetListTexts(MixerHandle handle, uint32_t controlId, uint32_t items,
                                     std::vector<MixerListItem>& texts) {
    Device* device = DeviceOf(handle);
    ScriptedControl* control = device ? FindControl(*device, controlId) : nullptr;
    if (const uint32_t result = Call("texts " + (control ? control->label : std::to_string(controlId)))) {
        return result;
    }
    if (!control || control->items.size() != items) return kMixerInvalidParam;
    texts = control->items;
    return kMixerOk;
}
