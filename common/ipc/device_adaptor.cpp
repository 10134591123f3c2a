#include "common/ipc/device_adaptor.h"

#include "common/ipc/bus_names.h"
#include "common/ipc/method_export.h"

namespace qm::ipc {
namespace {

using sdk::HRESULT;
using sdk::IQMDevice;
using Byte = std::uint8_t;
using Names = std::vector<std::string>;

// Out values start at zero; the device's own values replace them.
template <HRESULT (IQMDevice::*Method)(std::string&)>
auto stringGetter() {
    return [](IQMDevice& d) {
        std::string value;
        const HRESULT hr = (d.*Method)(value);
        return std::tuple{hr, value};
    };
}

template <HRESULT (IQMDevice::*Method)(unsigned char&)>
auto byteGetter() {
    return [](IQMDevice& d) {
        Byte value = 0;
        const HRESULT hr = (d.*Method)(value);
        return std::tuple{hr, value};
    };
}

template <HRESULT (IQMDevice::*Method)()>
auto plainCall() {
    return [](IQMDevice& d) { return std::tuple{(d.*Method)()}; };
}

template <HRESULT (IQMDevice::*Method)(unsigned char)>
auto byteSetter() {
    return [](IQMDevice& d, Byte value) { return std::tuple{(d.*Method)(value)}; };
}

template <HRESULT (IQMDevice::*Method)(const std::string&)>
auto stringSetter() {
    return [](IQMDevice& d, const std::string& value) { return std::tuple{(d.*Method)(value)}; };
}

}  // namespace

DeviceAdaptor::DeviceAdaptor(sdbus::IConnection& connection, std::string path,
                             std::shared_ptr<sdk::IQMDevice> device, ClientCalls& calls)
    : path_(std::move(path)), device_(std::move(device)) {
    object_ = sdbus::createObject(connection, path_);
    exportMethods(calls);
    object_->finishRegistration();
}

DeviceAdaptor::~DeviceAdaptor() = default;

void DeviceAdaptor::exportMethods(ClientCalls& calls) {
    const auto add = [&](const char* name, Names in, Names out, auto body) {
        detail::exportPooledMethod(*object_, kDeviceInterface, name, std::move(in), std::move(out),
                                   calls, device_, std::move(body));
    };

    add("GetDeviceIndexHID", {}, {"nDeviceIndex"}, [](IQMDevice& d) {
        int index = 0;
        const HRESULT hr = d.GetDeviceIndexHID(index);
        return std::tuple{hr, std::int32_t{index}};
    });
    add("GetDeviceSN", {}, {"bstrDeviceSN"}, stringGetter<&IQMDevice::GetDeviceSN>());
    add("IsStarted", {}, {}, plainCall<&IQMDevice::IsStarted>());
    add("IsInitialized", {}, {}, plainCall<&IQMDevice::IsInitialized>());
    add("GetDeviceXML", {}, {"bstrXML"}, stringGetter<&IQMDevice::GetDeviceXML>());
    add("GetName", {}, {"bstrName"}, stringGetter<&IQMDevice::GetName>());
    add("GetVendorID", {}, {"bstrVendorID"}, stringGetter<&IQMDevice::GetVendorID>());
    add("GetProductID", {}, {"bstrProductID"}, stringGetter<&IQMDevice::GetProductID>());
    add("GetHardwareID", {}, {"bstrHardwareID"}, stringGetter<&IQMDevice::GetHardwareID>());
    add("GetHardwareVer", {}, {"bstrApiVer", "bstrFwVer"}, [](IQMDevice& d) {
        std::string api;
        std::string firmware;
        const HRESULT hr = d.GetHardwareVer(api, firmware);
        return std::tuple{hr, api, firmware};
    });
    add("GetContainerID", {}, {"bstrContainerID"}, stringGetter<&IQMDevice::GetContainerID>());
    add("SetFriendlyName", {"bstrFriendlyName"}, {}, stringSetter<&IQMDevice::SetFriendlyName>());
    add("GetFriendlyName", {}, {"bstrFriendlyName"}, stringGetter<&IQMDevice::GetFriendlyName>());
    add("SetDescription", {"bstrDescription"}, {}, stringSetter<&IQMDevice::SetDescription>());
    add("GetDescription", {}, {"bstrDescription"}, stringGetter<&IQMDevice::GetDescription>());
    add("ResetDefault", {}, {}, plainCall<&IQMDevice::ResetDefault>());
    add("ResetStatus", {}, {}, plainCall<&IQMDevice::ResetStatus>());
    add("ResetWatchDog", {}, {}, plainCall<&IQMDevice::ResetWatchDog>());
    add("GetLastStatus", {}, {}, plainCall<&IQMDevice::GetLastStatus>());
    add("GetStatusDSP", {}, {"pbVolume"}, byteGetter<&IQMDevice::GetStatusDSP>());
    add("GetStatusALC", {}, {"pbRecovery", "pbMode", "pbRefVal", "pbVolume"}, [](IQMDevice& d) {
        Byte recovery = 0;
        Byte mode = 0;
        Byte refVal = 0;
        Byte volume = 0;
        const HRESULT hr = d.GetStatusALC(recovery, mode, refVal, volume);
        return std::tuple{hr, recovery, mode, refVal, volume};
    });
    add("GetStatusHPF_LPF", {}, {"pbHPF_1", "pbHPF_2", "pbLPF"}, [](IQMDevice& d) {
        Byte hpf1 = 0;
        Byte hpf2 = 0;
        Byte lpf = 0;
        const HRESULT hr = d.GetStatusHPF_LPF(hpf1, hpf2, lpf);
        return std::tuple{hr, hpf1, hpf2, lpf};
    });
    add("GetStatusEQ_NOTCH_GAIN", {},
        {"pbNOTCH", "pbEQ_1_GAIN", "pbEQ_2_GAIN", "pbEQ_3_GAIN", "pbEQ_4_GAIN", "pbEQ_5_GAIN"},
        [](IQMDevice& d) {
            Byte notch = 0;
            Byte g1 = 0;
            Byte g2 = 0;
            Byte g3 = 0;
            Byte g4 = 0;
            Byte g5 = 0;
            const HRESULT hr = d.GetStatusEQ_NOTCH_GAIN(notch, g1, g2, g3, g4, g5);
            return std::tuple{hr, notch, g1, g2, g3, g4, g5};
        });
    add("GetStatusEQ_POWER_BW_MODE", {},
        {"pbPOWER", "pbEQ_1_BW_MODE", "pbEQ_2_BW_MODE", "pbEQ_3_BW_MODE", "pbEQ_4_BW_MODE",
         "pbEQ_5_BW_MODE"},
        [](IQMDevice& d) {
            Byte power = 0;
            Byte m1 = 0;
            Byte m2 = 0;
            Byte m3 = 0;
            Byte m4 = 0;
            Byte m5 = 0;
            const HRESULT hr = d.GetStatusEQ_POWER_BW_MODE(power, m1, m2, m3, m4, m5);
            return std::tuple{hr, power, m1, m2, m3, m4, m5};
        });
    add("SetDirectionVolume", {"bVolume"}, {}, byteSetter<&IQMDevice::SetDirectionVolume>());
    add("GetDirection", {}, {"pbVol", "pbZoom", "pbBeam"}, [](IQMDevice& d) {
        Byte volume = 0;
        Byte zoom = 0;
        Byte beam = 0;
        const HRESULT hr = d.GetDirection(volume, zoom, beam);
        return std::tuple{hr, volume, zoom, beam};
    });
    add("SetVolume", {"bVolume"}, {}, byteSetter<&IQMDevice::SetVolume>());
    add("SetVolumeNorm", {}, {}, plainCall<&IQMDevice::SetVolumeNorm>());
    add("SetVolumeMute", {}, {}, plainCall<&IQMDevice::SetVolumeMute>());
    add("SetZoom", {"bZoom"}, {}, byteSetter<&IQMDevice::SetZoom>());
    add("SetBeam", {"bBeam"}, {}, byteSetter<&IQMDevice::SetBeam>());
    add("Set_LPF", {"bLPF"}, {}, byteSetter<&IQMDevice::Set_LPF>());
    add("Set_HPF_1", {"bHPF_1"}, {}, byteSetter<&IQMDevice::Set_HPF_1>());
    add("Set_HPF_2", {"bHPF_2"}, {}, byteSetter<&IQMDevice::Set_HPF_2>());
    add("Set_EQ_NOTCH", {"bEQ_ON"}, {}, byteSetter<&IQMDevice::Set_EQ_NOTCH>());
    add("Set_EQ_GAIN", {"bEQ", "bGAIN"}, {},
        [](IQMDevice& d, Byte eq, Byte gain) { return std::tuple{d.Set_EQ_GAIN(eq, gain)}; });
    add("Set_EQ_POWER", {"bEQ_ON"}, {}, byteSetter<&IQMDevice::Set_EQ_POWER>());
    add("Set_EQ_BAND_WIDTH", {"bEQ", "nBand", "nWidth"}, {},
        [](IQMDevice& d, Byte eq, std::int32_t band, std::int32_t width) {
            return std::tuple{d.Set_EQ_BAND_WIDTH(eq, band, width)};
        });
    add("Set_EQ_BAND_MODE", {"bEQ", "bMode"}, {},
        [](IQMDevice& d, Byte eq, Byte mode) { return std::tuple{d.Set_EQ_BAND_MODE(eq, mode)}; });
    add("Set_ALC_RECOVERY", {"bVAL"}, {}, byteSetter<&IQMDevice::Set_ALC_RECOVERY>());
    add("Set_ALC_MODE", {"bVAL"}, {}, byteSetter<&IQMDevice::Set_ALC_MODE>());
    add("Set_ALC_REF_VALUE", {"bREF_VAL"}, {}, byteSetter<&IQMDevice::Set_ALC_REF_VALUE>());
    add("Get_Ext_OutVolume", {}, {"pbVolume"}, byteGetter<&IQMDevice::Get_Ext_OutVolume>());
    add("Set_Ext_OutVolume", {"bVolume"}, {}, byteSetter<&IQMDevice::Set_Ext_OutVolume>());
    add("Get_Ext_TPA", {}, {"pbTPA"}, byteGetter<&IQMDevice::Get_Ext_TPA>());
    add("Set_Ext_TPA", {"bTPA"}, {}, byteSetter<&IQMDevice::Set_Ext_TPA>());
}

}  // namespace qm::ipc
