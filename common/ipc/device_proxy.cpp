#include "common/ipc/device_proxy.h"

#include <type_traits>

#include "common/ipc/bus_connection.h"
#include "common/ipc/bus_names.h"
#include "common/ipc/client_session.h"
#include "common/ipc/proxy_call.h"
#include "common/ipc/wire_text.h"

namespace qm::ipc {
namespace {

using sdk::HRESULT;

enum class Outs {
    OnSuccess,  // out values change only when the call succeeds
    Always,     // the method sets its out value also when it fails
};

// Calls `method` on the device object; copies the out values into `outs` per `rule`.
template <typename... Refs, typename... Ins>
HRESULT callDevice(BusConnection& bus, sdbus::IProxy& proxy, std::chrono::milliseconds timeout,
                   const char* method, Outs rule, std::tuple<Refs&...> outs, const Ins&... ins) {
    std::tuple<std::remove_cvref_t<Refs>...> values{};
    const detail::CallOutcome outcome =
        detail::callMethod(bus, proxy, kDeviceInterface, method, timeout, values, ins...);
    if (outcome.answered && (sdk::SUCCEEDED(outcome.hr) || rule == Outs::Always)) {
        outs = values;
    }
    return outcome.hr;
}

}  // namespace

DeviceProxy::DeviceProxy(std::shared_ptr<ClientSession> session, std::string path)
    : session_(std::move(session)), path_(std::move(path)), proxy_(session_->makeProxy(path_)) {}

DeviceProxy::~DeviceProxy() = default;

HRESULT DeviceProxy::GetDeviceIndexHID(int& nDeviceIndex) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetDeviceIndexHID",
                      Outs::Always, std::tie(nDeviceIndex));
}

HRESULT DeviceProxy::GetDeviceSN(std::string& bstrDeviceSN) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetDeviceSN",
                      Outs::OnSuccess, std::tie(bstrDeviceSN));
}

HRESULT DeviceProxy::IsStarted() {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "IsStarted",
                      Outs::OnSuccess, std::tie());
}

HRESULT DeviceProxy::IsInitialized() {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "IsInitialized",
                      Outs::OnSuccess, std::tie());
}

HRESULT DeviceProxy::GetDeviceXML(std::string& bstrXML) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetDeviceXML",
                      Outs::OnSuccess, std::tie(bstrXML));
}

HRESULT DeviceProxy::GetName(std::string& bstrName) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetName", Outs::OnSuccess,
                      std::tie(bstrName));
}

HRESULT DeviceProxy::GetVendorID(std::string& bstrVendorID) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetVendorID",
                      Outs::OnSuccess, std::tie(bstrVendorID));
}

HRESULT DeviceProxy::GetProductID(std::string& bstrProductID) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetProductID",
                      Outs::OnSuccess, std::tie(bstrProductID));
}

HRESULT DeviceProxy::GetHardwareID(std::string& bstrHardwareID) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetHardwareID",
                      Outs::OnSuccess, std::tie(bstrHardwareID));
}

// The device sets the version strings only from a version reply, and succeeds without them
// otherwise; the bus carries such strings as empty ones (a version string never is), which leave
// the caller's strings as they were.
HRESULT DeviceProxy::GetHardwareVer(std::string& bstrApiVer, std::string& bstrFwVer) {
    std::string api;
    std::string firmware;
    const HRESULT hr = callDevice(session_->bus(), *proxy_, session_->callTimeout(),
                                  "GetHardwareVer", Outs::OnSuccess, std::tie(api, firmware));
    if (!api.empty())
        bstrApiVer = std::move(api);
    if (!firmware.empty())
        bstrFwVer = std::move(firmware);
    return hr;
}

HRESULT DeviceProxy::GetContainerID(std::string& bstrContainerID) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetContainerID",
                      Outs::OnSuccess, std::tie(bstrContainerID));
}

HRESULT DeviceProxy::SetFriendlyName(const std::string& bstrFriendlyName) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "SetFriendlyName",
                      Outs::OnSuccess, std::tie(), toWireText(bstrFriendlyName));
}

HRESULT DeviceProxy::GetFriendlyName(std::string& bstrFriendlyName) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetFriendlyName",
                      Outs::OnSuccess, std::tie(bstrFriendlyName));
}

HRESULT DeviceProxy::SetDescription(const std::string& bstrDescription) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "SetDescription",
                      Outs::OnSuccess, std::tie(), toWireText(bstrDescription));
}

HRESULT DeviceProxy::GetDescription(std::string& bstrDescription) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetDescription",
                      Outs::OnSuccess, std::tie(bstrDescription));
}

HRESULT DeviceProxy::ResetDefault() {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "ResetDefault",
                      Outs::OnSuccess, std::tie());
}

HRESULT DeviceProxy::ResetStatus() {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "ResetStatus",
                      Outs::OnSuccess, std::tie());
}

HRESULT DeviceProxy::ResetWatchDog() {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "ResetWatchDog",
                      Outs::OnSuccess, std::tie());
}

HRESULT DeviceProxy::GetLastStatus() {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetLastStatus",
                      Outs::OnSuccess, std::tie());
}

HRESULT DeviceProxy::GetStatusDSP(unsigned char& pbVolume) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetStatusDSP",
                      Outs::OnSuccess, std::tie(pbVolume));
}

HRESULT DeviceProxy::GetStatusALC(unsigned char& pbRecovery, unsigned char& pbMode,
                                  unsigned char& pbRefVal, unsigned char& pbVolume) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetStatusALC",
                      Outs::OnSuccess, std::tie(pbRecovery, pbMode, pbRefVal, pbVolume));
}

HRESULT DeviceProxy::GetStatusHPF_LPF(unsigned char& pbHPF_1, unsigned char& pbHPF_2,
                                      unsigned char& pbLPF) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetStatusHPF_LPF",
                      Outs::OnSuccess, std::tie(pbHPF_1, pbHPF_2, pbLPF));
}

HRESULT DeviceProxy::GetStatusEQ_NOTCH_GAIN(unsigned char& pbNOTCH, unsigned char& pbEQ_1_GAIN,
                                            unsigned char& pbEQ_2_GAIN, unsigned char& pbEQ_3_GAIN,
                                            unsigned char& pbEQ_4_GAIN,
                                            unsigned char& pbEQ_5_GAIN) {
    return callDevice(
        session_->bus(), *proxy_, session_->callTimeout(), "GetStatusEQ_NOTCH_GAIN",
        Outs::OnSuccess,
        std::tie(pbNOTCH, pbEQ_1_GAIN, pbEQ_2_GAIN, pbEQ_3_GAIN, pbEQ_4_GAIN, pbEQ_5_GAIN));
}

HRESULT DeviceProxy::GetStatusEQ_POWER_BW_MODE(
    unsigned char& pbPOWER, unsigned char& pbEQ_1_BW_MODE, unsigned char& pbEQ_2_BW_MODE,
    unsigned char& pbEQ_3_BW_MODE, unsigned char& pbEQ_4_BW_MODE, unsigned char& pbEQ_5_BW_MODE) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(),
                      "GetStatusEQ_POWER_BW_MODE", Outs::OnSuccess,
                      std::tie(pbPOWER, pbEQ_1_BW_MODE, pbEQ_2_BW_MODE, pbEQ_3_BW_MODE,
                               pbEQ_4_BW_MODE, pbEQ_5_BW_MODE));
}

HRESULT DeviceProxy::SetDirectionVolume(unsigned char bVolume) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "SetDirectionVolume",
                      Outs::OnSuccess, std::tie(), bVolume);
}

HRESULT DeviceProxy::GetDirection(unsigned char& pbVol, unsigned char& pbZoom,
                                  unsigned char& pbBeam) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "GetDirection",
                      Outs::OnSuccess, std::tie(pbVol, pbZoom, pbBeam));
}

HRESULT DeviceProxy::SetVolume(unsigned char bVolume) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "SetVolume",
                      Outs::OnSuccess, std::tie(), bVolume);
}

HRESULT DeviceProxy::SetVolumeNorm() {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "SetVolumeNorm",
                      Outs::OnSuccess, std::tie());
}

HRESULT DeviceProxy::SetVolumeMute() {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "SetVolumeMute",
                      Outs::OnSuccess, std::tie());
}

HRESULT DeviceProxy::SetZoom(unsigned char bZoom) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "SetZoom", Outs::OnSuccess,
                      std::tie(), bZoom);
}

HRESULT DeviceProxy::SetBeam(unsigned char bBeam) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "SetBeam", Outs::OnSuccess,
                      std::tie(), bBeam);
}

HRESULT DeviceProxy::Set_LPF(unsigned char bLPF) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_LPF", Outs::OnSuccess,
                      std::tie(), bLPF);
}

HRESULT DeviceProxy::Set_HPF_1(unsigned char bHPF_1) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_HPF_1",
                      Outs::OnSuccess, std::tie(), bHPF_1);
}

HRESULT DeviceProxy::Set_HPF_2(unsigned char bHPF_2) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_HPF_2",
                      Outs::OnSuccess, std::tie(), bHPF_2);
}

HRESULT DeviceProxy::Set_EQ_NOTCH(unsigned char bEQ_ON) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_EQ_NOTCH",
                      Outs::OnSuccess, std::tie(), bEQ_ON);
}

HRESULT DeviceProxy::Set_EQ_GAIN(unsigned char bEQ, unsigned char bGAIN) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_EQ_GAIN",
                      Outs::OnSuccess, std::tie(), bEQ, bGAIN);
}

HRESULT DeviceProxy::Set_EQ_POWER(unsigned char bEQ_ON) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_EQ_POWER",
                      Outs::OnSuccess, std::tie(), bEQ_ON);
}

HRESULT DeviceProxy::Set_EQ_BAND_WIDTH(unsigned char bEQ, int nBand, int nWidth) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_EQ_BAND_WIDTH",
                      Outs::OnSuccess, std::tie(), bEQ, std::int32_t{nBand}, std::int32_t{nWidth});
}

HRESULT DeviceProxy::Set_EQ_BAND_MODE(unsigned char bEQ, unsigned char bMode) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_EQ_BAND_MODE",
                      Outs::OnSuccess, std::tie(), bEQ, bMode);
}

HRESULT DeviceProxy::Set_ALC_RECOVERY(unsigned char bVAL) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_ALC_RECOVERY",
                      Outs::OnSuccess, std::tie(), bVAL);
}

HRESULT DeviceProxy::Set_ALC_MODE(unsigned char bVAL) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_ALC_MODE",
                      Outs::OnSuccess, std::tie(), bVAL);
}

HRESULT DeviceProxy::Set_ALC_REF_VALUE(unsigned char bREF_VAL) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_ALC_REF_VALUE",
                      Outs::OnSuccess, std::tie(), bREF_VAL);
}

HRESULT DeviceProxy::Get_Ext_OutVolume(unsigned char& pbVolume) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Get_Ext_OutVolume",
                      Outs::OnSuccess, std::tie(pbVolume));
}

HRESULT DeviceProxy::Set_Ext_OutVolume(unsigned char bVolume) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_Ext_OutVolume",
                      Outs::OnSuccess, std::tie(), bVolume);
}

HRESULT DeviceProxy::Get_Ext_TPA(unsigned char& pbTPA) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Get_Ext_TPA",
                      Outs::OnSuccess, std::tie(pbTPA));
}

HRESULT DeviceProxy::Set_Ext_TPA(unsigned char bTPA) {
    return callDevice(session_->bus(), *proxy_, session_->callTimeout(), "Set_Ext_TPA",
                      Outs::OnSuccess, std::tie(), bTPA);
}

}  // namespace qm::ipc
