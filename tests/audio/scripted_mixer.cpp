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
        text += ' ';
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
    const uint32_t index = uint32_t(d.destinations.size());
    d.destinations.push_back({Line{{index, 0, d.nextLineId++, componentType, 0}, name, {}}, {}});
    return d.destinations.back().line.line.lineId;
}

uint32_t ScriptedMixer::AddSource(uint32_t device, uint32_t destinationLineId, uint32_t componentType,
                                  const std::string& name) {
    Device& d = devices_.at(device);
    for (Destination& destination : d.destinations) {
        MixerLine& parent = destination.line.line;
        if (parent.lineId != destinationLineId) continue;
        const uint32_t index = parent.connections++;
        destination.sources.push_back(
            Line{{parent.destination, index, d.nextLineId++, componentType, 0}, name, {}});
        return destination.sources.back().line.lineId;
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
        if (entry.rfind("set ", 0) == 0) writes.push_back(entry);
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

ScriptedMixer::Device* ScriptedMixer::LineCall(MixerHandle handle, const std::string& entry, uint32_t& result) {
    result = Call(entry);
    const auto open = open_.find(handle);
    if (result == kMixerOk && open == open_.end()) result = kMixerInvalidHandle;
    return result == kMixerOk ? &devices_[open->second] : nullptr;
}

ScriptedControl* ScriptedMixer::ControlCall(MixerHandle handle, uint32_t controlId, const std::string& verb,
                                            const std::string& detail, uint32_t& result) {
    ScriptedControl* control = nullptr;
    const auto open = open_.find(handle);
    if (open != open_.end()) {
        for (ScriptedControl& c : devices_[open->second].controls) {
            if (c.id == controlId) control = &c;
        }
    }
    result = Call(verb + " " + (control ? control->label : std::to_string(controlId)) + detail);
    if (result == kMixerOk && !control) result = kMixerInvalidControl;
    return result == kMixerOk ? control : nullptr;
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
    uint32_t result;
    Device* device = LineCall(handle, "line type " + std::to_string(componentType), result);
    if (!device) return result;
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
    uint32_t result;
    Device* device = LineCall(handle, "line destination " + std::to_string(destination), result);
    if (!device) return result;
    if (destination >= device->destinations.size()) return kMixerInvalidLine;
    line = device->destinations[destination].line.line;
    return kMixerOk;
}

uint32_t ScriptedMixer::LineBySource(MixerHandle handle, uint32_t destination, uint32_t source, MixerLine& line) {
    uint32_t result;
    Device* device =
        LineCall(handle, "line source " + std::to_string(destination) + "." + std::to_string(source), result);
    if (!device) return result;
    if (destination >= device->destinations.size() || source >= device->destinations[destination].sources.size()) {
        return kMixerInvalidLine;
    }
    line = device->destinations[destination].sources[source].line;
    return kMixerOk;
}

uint32_t ScriptedMixer::LineById(MixerHandle handle, uint32_t lineId, MixerLine& line) {
    uint32_t result;
    Device* device = LineCall(handle, "line id " + std::to_string(lineId), result);
    if (!device) return result;
    const Line* found = FindLine(*device, lineId);
    if (!found) return kMixerInvalidLine;
    line = found->line;
    return kMixerOk;
}

uint32_t ScriptedMixer::ControlByType(MixerHandle handle, uint32_t lineId, uint32_t controlType,
                                      MixerControl& control) {
    const auto open = open_.find(handle);
    Line* line = open == open_.end() ? nullptr : FindLine(devices_[open->second], lineId);
    const std::string lineName = line ? line->name : std::to_string(lineId);
    if (const uint32_t result = Call("find " + lineName + " " + TypeName(controlType))) return result;
    if (!line) return kMixerInvalidLine;
    for (const ScriptedControl* c : line->controls) {
        if (c->type == controlType) {
            control = MixerControl{c->id, uint32_t(c->items.size())};
            return kMixerOk;
        }
    }
    return kMixerNotSupported;
}

uint32_t ScriptedMixer::GetUnsigned(MixerHandle handle, uint32_t controlId, uint32_t& value) {
    uint32_t result;
    const ScriptedControl* control = ControlCall(handle, controlId, "get", "", result);
    if (!control) return result;
    value = control->readsAs.value_or(control->value);
    return kMixerOk;
}

uint32_t ScriptedMixer::SetUnsigned(MixerHandle handle, uint32_t controlId, uint32_t value) {
    uint32_t result;
    ScriptedControl* control = ControlCall(handle, controlId, "set", Join({value}), result);
    if (!control) return result;
    control->value = Stepped(*control, value);
    return kMixerOk;
}

uint32_t ScriptedMixer::GetBooleans(MixerHandle handle, uint32_t controlId, uint32_t items,
                                    std::vector<uint32_t>& values) {
    uint32_t result;
    const ScriptedControl* control = ControlCall(handle, controlId, "get", "", result);
    if (!control) return result;
    if (control->items.size() != items) return kMixerInvalidParam;
    values = control->states;
    return kMixerOk;
}

uint32_t ScriptedMixer::SetBooleans(MixerHandle handle, uint32_t controlId, const std::vector<uint32_t>& values) {
    uint32_t result;
    ScriptedControl* control = ControlCall(handle, controlId, "set", Join(values), result);
    if (!control) return result;
    if (control->items.size() != values.size()) return kMixerInvalidParam;
    control->states = values;
    return kMixerOk;
}

uint32_t ScriptedMixer::GetListTexts(MixerHandle handle, uint32_t controlId, uint32_t items,
                                     std::vector<MixerListItem>& texts) {
    uint32_t result;
    const ScriptedControl* control = ControlCall(handle, controlId, "texts", "", result);
    if (!control) return result;
    if (control->items.size() != items) return kMixerInvalidParam;
    texts = control->items;
    return kMixerOk;
}
