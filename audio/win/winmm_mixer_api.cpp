// The mixer seam over winmm, in its wide and its 8-bit flavour, and the
// platform's mixer built on it.
#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "audio/mixer/mixer_api.h"
#include "audio/mixer/winmm_mixer.h"

namespace {

// The winmm mixer calls and records that come in a wide and an 8-bit version.
struct WideCalls {
    using Caps = MIXERCAPSW;
    using Line = MIXERLINEW;
    using Control = MIXERCONTROLW;
    using LineControls = MIXERLINECONTROLSW;
    using ListText = MIXERCONTROLDETAILS_LISTTEXTW;
    static constexpr auto getDevCaps = mixerGetDevCapsW;
    static constexpr auto getLineInfo = mixerGetLineInfoW;
    static constexpr auto getLineControls = mixerGetLineControlsW;
    static constexpr auto getControlDetails = mixerGetControlDetailsW;
    static MixerText Text(const WCHAR* text) { return MixerText(reinterpret_cast<const char16_t*>(text)); }
};

struct NarrowCalls {
    using Caps = MIXERCAPSA;
    using Line = MIXERLINEA;
    using Control = MIXERCONTROLA;
    using LineControls = MIXERLINECONTROLSA;
    using ListText = MIXERCONTROLDETAILS_LISTTEXTA;
    static constexpr auto getDevCaps = mixerGetDevCapsA;
    static constexpr auto getLineInfo = mixerGetLineInfoA;
    static constexpr auto getLineControls = mixerGetLineControlsA;
    static constexpr auto getControlDetails = mixerGetControlDetailsA;
    // The 8-bit calls give names in the system code page.
    static MixerText Text(const CHAR* text) {
        const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        if (length <= 1) return {};
        std::wstring wide(size_t(length), L'\0');
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
        wide.resize(size_t(length - 1));
        return MixerText(wide.begin(), wide.end());
    }
};

HMIXEROBJ Object(MixerHandle handle) { return reinterpret_cast<HMIXEROBJ>(handle); }

MIXERCONTROLDETAILS Details(DWORD controlId, DWORD items, DWORD itemSize, void* data) {
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = controlId;
    details.cChannels = 1;  // uniform: one value for all channels
    details.cMultipleItems = items;
    details.cbDetails = itemSize;
    details.paDetails = data;
    return details;
}

template <typename Calls>
class WinmmMixerApi final : public MixerApi {
public:
    uint32_t DeviceCount() override { return mixerGetNumDevs(); }

    uint32_t Open(uint32_t device, MixerHandle& handle) override {
        HMIXER mixer = nullptr;
        const MMRESULT result = mixerOpen(&mixer, device, 0, 0, MIXER_OBJECTF_MIXER);
        handle = result == MMSYSERR_NOERROR ? reinterpret_cast<MixerHandle>(mixer) : 0;
        return result;
    }

    uint32_t Close(MixerHandle handle) override { return mixerClose(reinterpret_cast<HMIXER>(handle)); }

    uint32_t Caps(uint32_t device, MixerCaps& caps) override {
        typename Calls::Caps record = {};
        const MMRESULT result = Calls::getDevCaps(device, &record, sizeof record);
        if (result == MMSYSERR_NOERROR) caps = MixerCaps{record.cDestinations, Calls::Text(record.szPname)};
        return result;
    }

    uint32_t LineByComponentType(MixerHandle handle, uint32_t componentType, MixerLine& line) override {
        typename Calls::Line record = {};
        record.dwComponentType = componentType;
        return GetLine(handle, record, MIXER_GETLINEINFOF_COMPONENTTYPE, line);
    }

    uint32_t LineByDestination(MixerHandle handle, uint32_t destination, MixerLine& line) override {
        typename Calls::Line record = {};
        record.dwDestination = destination;
        return GetLine(handle, record, MIXER_GETLINEINFOF_DESTINATION, line);
    }

    uint32_t LineBySource(MixerHandle handle, uint32_t destination, uint32_t source, MixerLine& line) override {
        typename Calls::Line record = {};
        record.dwDestination = destination;
        record.dwSource = source;
        return GetLine(handle, record, MIXER_GETLINEINFOF_SOURCE, line);
    }

    uint32_t LineById(MixerHandle handle, uint32_t lineId, MixerLine& line) override {
        typename Calls::Line record = {};
        record.dwLineID = lineId;
        return GetLine(handle, record, MIXER_GETLINEINFOF_LINEID, line);
    }

    uint32_t ControlByType(MixerHandle handle, uint32_t lineId, uint32_t controlType, MixerControl& control) override {
        typename Calls::Control record = {};
        record.cbStruct = sizeof record;
        typename Calls::LineControls request = {};
        request.cbStruct = sizeof request;
        request.dwLineID = lineId;
        request.dwControlType = controlType;
        request.cControls = 1;
        request.cbmxctrl = sizeof record;
        request.pamxctrl = &record;
        const MMRESULT result = Calls::getLineControls(Object(handle), &request,
                                                       MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE);
        if (result == MMSYSERR_NOERROR) control = MixerControl{record.dwControlID, record.cMultipleItems};
        return result;
    }

    uint32_t GetUnsigned(MixerHandle handle, uint32_t controlId, uint32_t& value) override {
        MIXERCONTROLDETAILS_UNSIGNED detail = {};
        MIXERCONTROLDETAILS details = Details(controlId, 0, sizeof detail, &detail);
        const MMRESULT result = Calls::getControlDetails(Object(handle), &details,
                                                         MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
        if (result == MMSYSERR_NOERROR) value = detail.dwValue;
        return result;
    }

    uint32_t SetUnsigned(MixerHandle handle, uint32_t controlId, uint32_t value) override {
        MIXERCONTROLDETAILS_UNSIGNED detail = {value};
        MIXERCONTROLDETAILS details = Details(controlId, 0, sizeof detail, &detail);
        return mixerSetControlDetails(Object(handle), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
    }

    uint32_t GetBooleans(MixerHandle handle, uint32_t controlId, uint32_t items,
                         std::vector<uint32_t>& values) override {
        std::vector<MIXERCONTROLDETAILS_BOOLEAN> details(items ? items : 1);
        MIXERCONTROLDETAILS request = Details(controlId, items, sizeof details[0], details.data());
        const MMRESULT result = Calls::getControlDetails(Object(handle), &request,
                                                         MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
        if (result != MMSYSERR_NOERROR) return result;
        values.clear();
        for (const auto& detail : details) values.push_back(uint32_t(detail.fValue));
        return result;
    }

    uint32_t SetBooleans(MixerHandle handle, uint32_t controlId, const std::vector<uint32_t>& values) override {
        std::vector<MIXERCONTROLDETAILS_BOOLEAN> details;
        for (uint32_t value : values) details.push_back({LONG(value)});
        MIXERCONTROLDETAILS request = Details(controlId, DWORD(values.size()), sizeof details[0], details.data());
        return mixerSetControlDetails(Object(handle), &request, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
    }

    uint32_t GetListTexts(MixerHandle handle, uint32_t controlId, uint32_t items,
                          std::vector<MixerListItem>& texts) override {
        std::vector<typename Calls::ListText> details(items ? items : 1);
        MIXERCONTROLDETAILS request = Details(controlId, items, sizeof details[0], details.data());
        const MMRESULT result = Calls::getControlDetails(Object(handle), &request,
                                                         MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_LISTTEXT);
        if (result != MMSYSERR_NOERROR) return result;
        texts.clear();
        for (const auto& detail : details) texts.push_back({detail.dwParam1, Calls::Text(detail.szName)});
        return result;
    }

private:
    static uint32_t GetLine(MixerHandle handle, typename Calls::Line& record, DWORD how, MixerLine& line) {
        record.cbStruct = sizeof record;
        const MMRESULT result = Calls::getLineInfo(Object(handle), &record, MIXER_OBJECTF_HMIXER | how);
        if (result == MMSYSERR_NOERROR) {
            line = MixerLine{record.dwDestination, record.dwSource, record.dwLineID, record.dwComponentType,
                             record.cConnections};
        }
        return result;
    }
};

}  // namespace

std::unique_ptr<TalkMixer> MakePlatformMixer(MixerCalls calls) {
    std::shared_ptr<MixerApi> api;
    if (calls == MixerCalls::Narrow) {
        api = std::make_shared<WinmmMixerApi<NarrowCalls>>();
    } else {
        api = std::make_shared<WinmmMixerApi<WideCalls>>();
    }
    return std::make_unique<WinmmMixer>(std::move(api));
}
