#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/sdk/interfaces.h"
#include "tools/qmctl/device_xml.h"

// What qmctl asks the service about its microphones: the device list, one device by serial,
// a line per microphone for `list` and everything `show` prints.
namespace qm::qmctl {

// The devices of the manager's list, in list order. The service reports an empty list as
// E_INVALIDARG; that is an empty list here, not a failure.
sdk::HRESULT enumerateDevices(sdk::IQuillmereSDK& manager,
                              std::vector<std::shared_ptr<sdk::IQMDevice>>& devices);

// The first device whose serial equals `serial` without regard to ASCII case. S_OK with a null
// `device` when there is none; a failure result when the list can't be read.
sdk::HRESULT findDevice(sdk::IQuillmereSDK& manager, std::string_view serial,
                        std::shared_ptr<sdk::IQMDevice>& device);

// "started": channel open; "starting": open, but the first read of its settings has not
// finished; "not started": known (from the cache) but not plugged in or not opened.
std::string_view stateName(bool started, bool initialized);

struct MicrophoneSummary {
    std::string serial;
    std::string product;  // the model as the bridge reports it (GetName)
    std::string friendlyName;
    bool started = false;
    bool initialized = false;
};

sdk::HRESULT summarize(sdk::IQMDevice& device, MicrophoneSummary& summary);
// A summary per device of the list. A device object that is gone by the time it is asked (it
// was removed meanwhile) is left out.
sdk::HRESULT summarizeAll(sdk::IQuillmereSDK& manager, std::vector<MicrophoneSummary>& summaries);

struct ModelGroup {
    std::string model;  // canonical product name, or the product string of an unknown model
    std::vector<MicrophoneSummary> microphones;
};

// Groups in the order "Alder", "Birch", "Cedar", "Larch", "Rowan", "CP2114 USB-Audio Bridge",
// then other product strings alphabetically (ASCII case-insensitive; an empty one last).
// Product strings match without regard to ASCII case; microphones keep their list order.
std::vector<ModelGroup> groupByModel(const std::vector<MicrophoneSummary>& summaries);

struct MicrophoneDetails {
    DeviceDescription description;
    // GetDeviceXML answered S_FALSE: the values are the cached ones, the microphone has not
    // been read since the service started.
    bool cachedValues = false;
    bool started = false;
    bool initialized = false;
    // Asked only from a started microphone; missing when the call failed.
    std::optional<std::string> vendorId;
    std::optional<std::string> productId;
    std::optional<std::string> apiVersion;
    std::optional<std::string> firmwareVersion;
};

// Fills `details`; a failed call gives its result. A description that can't be parsed gives
// E_FAIL with the reason in `xmlError`.
sdk::HRESULT describeMicrophone(sdk::IQMDevice& device, MicrophoneDetails& details,
                                std::string& xmlError);

}  // namespace qm::qmctl
