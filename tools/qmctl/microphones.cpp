#include "tools/qmctl/microphones.h"

#include <algorithm>

#include "common/ipc/ipc_result.h"
#include "common/settings/models.h"
#include "common/text/text.h"

namespace qm::qmctl {
namespace {

constexpr unsigned long kBatch = 16;

// Sort key of a group: the known models first, in their order, then the rest by name.
struct GroupKey {
    std::size_t rank;  // position among the known models; their count for others
    bool unnamed;      // an empty product string goes after the named ones
    std::string name;
};

bool keyBefore(const GroupKey& a, const GroupKey& b) {
    if (a.rank != b.rank)
        return a.rank < b.rank;
    if (a.unnamed != b.unnamed)
        return !a.unnamed;
    return text::asciiICompare(a.name, b.name) < 0;
}

GroupKey groupKeyOf(const std::string& product) {
    const settings::Model model = settings::modelFromProductName(product);
    if (model != settings::Model::Unknown) {
        const std::string_view canonical = settings::productName(model);
        const auto position =
            std::find(settings::kProductNames.begin(), settings::kProductNames.end(), canonical);
        return {static_cast<std::size_t>(position - settings::kProductNames.begin()), false,
                std::string(canonical)};
    }
    return {settings::kProductNames.size(), product.empty(), product};
}

}  // namespace

sdk::HRESULT enumerateDevices(sdk::IQuillmereSDK& manager,
                              std::vector<std::shared_ptr<sdk::IQMDevice>>& devices) {
    devices.clear();
    std::shared_ptr<sdk::IEnumQMDevice> enumerator;
    const sdk::HRESULT hr = manager.EnumQMDevice(&enumerator);
    if (hr == sdk::E_INVALIDARG)
        return sdk::S_OK;  // the list is empty
    if (sdk::FAILED(hr))
        return hr;
    if (!enumerator)
        return sdk::E_POINTER;
    for (;;) {
        std::vector<std::shared_ptr<sdk::IQMDevice>> batch(kBatch);
        unsigned long fetched = 0;
        const sdk::HRESULT next = enumerator->Next(kBatch, batch.data(), &fetched);
        if (sdk::FAILED(next))
            return next;
        for (unsigned long i = 0; i < fetched && i < kBatch; ++i) {
            if (batch[i])
                devices.push_back(std::move(batch[i]));
        }
        if (next != sdk::S_OK || fetched == 0)
            return sdk::S_OK;
    }
}

sdk::HRESULT findDevice(sdk::IQuillmereSDK& manager, std::string_view serial,
                        std::shared_ptr<sdk::IQMDevice>& device) {
    device.reset();
    std::vector<std::shared_ptr<sdk::IQMDevice>> devices;
    if (const sdk::HRESULT hr = enumerateDevices(manager, devices); sdk::FAILED(hr))
        return hr;
    for (auto& candidate : devices) {
        std::string candidateSerial;
        const sdk::HRESULT hr = candidate->GetDeviceSN(candidateSerial);
        if (hr == ipc::kObjectDisconnected)
            continue;  // removed since the list was taken
        if (sdk::FAILED(hr))
            return hr;
        if (text::asciiIEquals(candidateSerial, serial)) {
            device = std::move(candidate);
            return sdk::S_OK;
        }
    }
    return sdk::S_OK;
}

std::string_view stateName(bool started, bool initialized) {
    if (!started)
        return "not started";
    return initialized ? "started" : "starting";
}

sdk::HRESULT summarize(sdk::IQMDevice& device, MicrophoneSummary& summary) {
    sdk::HRESULT hr = device.GetDeviceSN(summary.serial);
    if (sdk::SUCCEEDED(hr))
        hr = device.GetName(summary.product);
    if (sdk::SUCCEEDED(hr))
        hr = device.GetFriendlyName(summary.friendlyName);
    if (sdk::FAILED(hr))
        return hr;
    const sdk::HRESULT started = device.IsStarted();
    if (sdk::FAILED(started))
        return started;
    const sdk::HRESULT initialized = device.IsInitialized();
    if (sdk::FAILED(initialized))
        return initialized;
    summary.started = started == sdk::S_OK;
    summary.initialized = initialized == sdk::S_OK;
    return sdk::S_OK;
}

sdk::HRESULT summarizeAll(sdk::IQuillmereSDK& manager, std::vector<MicrophoneSummary>& summaries) {
    summaries.clear();
    std::vector<std::shared_ptr<sdk::IQMDevice>> devices;
    if (const sdk::HRESULT hr = enumerateDevices(manager, devices); sdk::FAILED(hr))
        return hr;
    for (const auto& device : devices) {
        MicrophoneSummary summary;
        const sdk::HRESULT hr = summarize(*device, summary);
        if (hr == ipc::kObjectDisconnected)
            continue;
        if (sdk::FAILED(hr))
            return hr;
        summaries.push_back(std::move(summary));
    }
    return sdk::S_OK;
}

std::vector<ModelGroup> groupByModel(const std::vector<MicrophoneSummary>& summaries) {
    std::vector<std::pair<GroupKey, ModelGroup>> groups;
    for (const MicrophoneSummary& summary : summaries) {
        GroupKey key = groupKeyOf(summary.product);
        auto existing = std::find_if(groups.begin(), groups.end(), [&](const auto& group) {
            return group.first.rank == key.rank && text::asciiIEquals(group.first.name, key.name);
        });
        if (existing == groups.end()) {
            groups.push_back({key, ModelGroup{key.name, {}}});
            existing = std::prev(groups.end());
        }
        existing->second.microphones.push_back(summary);
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const auto& a, const auto& b) { return keyBefore(a.first, b.first); });
    std::vector<ModelGroup> ordered;
    ordered.reserve(groups.size());
    for (auto& group : groups)
        ordered.push_back(std::move(group.second));
    return ordered;
}

sdk::HRESULT describeMicrophone(sdk::IQMDevice& device, MicrophoneDetails& details,
                                std::string& xmlError) {
    std::string xml;
    const sdk::HRESULT described = device.GetDeviceXML(xml);
    if (sdk::FAILED(described))
        return described;
    auto description = parseDeviceXml(xml, xmlError);
    if (!description)
        return sdk::E_FAIL;
    details.description = std::move(*description);
    details.cachedValues = described == sdk::S_FALSE;

    const sdk::HRESULT started = device.IsStarted();
    if (sdk::FAILED(started))
        return started;
    const sdk::HRESULT initialized = device.IsInitialized();
    if (sdk::FAILED(initialized))
        return initialized;
    details.started = started == sdk::S_OK;
    details.initialized = initialized == sdk::S_OK;
    if (!details.started)
        return sdk::S_OK;

    // The bridge's identity and versions; a failure here (the microphone went away meanwhile)
    // leaves the field out, unless the service itself is gone.
    std::string vendor;
    const sdk::HRESULT vendorResult = device.GetVendorID(vendor);
    if (vendorResult == ipc::kServiceUnavailable)
        return vendorResult;
    if (sdk::SUCCEEDED(vendorResult))
        details.vendorId = vendor;
    std::string product;
    const sdk::HRESULT productResult = device.GetProductID(product);
    if (productResult == ipc::kServiceUnavailable)
        return productResult;
    if (sdk::SUCCEEDED(productResult))
        details.productId = product;
    std::string api;
    std::string firmware;
    const sdk::HRESULT versions = device.GetHardwareVer(api, firmware);
    if (versions == ipc::kServiceUnavailable)
        return versions;
    // The call succeeds also when the microphone's answer was not a version reply; the strings
    // are then empty.
    if (sdk::SUCCEEDED(versions) && !api.empty()) {
        // The service writes the API version with its "0x" twice ("0x0x01"); show it once.
        if (api.starts_with("0x0x"))
            api.erase(0, 2);
        details.apiVersion = api;
        details.firmwareVersion = firmware;
    }
    return sdk::S_OK;
}

}  // namespace qm::qmctl
