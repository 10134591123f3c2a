#pragma once

#include <memory>
#include <string>

#include "common/sdk/interfaces.h"

namespace sdbus {
class IProxy;
}

namespace qm::ipc {

class ClientSession;

// A device object of the service, seen through the bus. Obtained from the manager proxy's
// enumerator; see client.h for the rules every call follows.
class DeviceProxy final : public sdk::IQMDevice {
  public:
    DeviceProxy(std::shared_ptr<ClientSession> session, std::string path);
    DeviceProxy(const DeviceProxy&) = delete;
    DeviceProxy& operator=(const DeviceProxy&) = delete;
    ~DeviceProxy() override;

    // The device object's path at the service.
    const std::string& path() const { return path_; }
    const ClientSession* session() const { return session_.get(); }

    sdk::HRESULT GetDeviceIndexHID(int& nDeviceIndex) override;
    sdk::HRESULT GetDeviceSN(std::string& bstrDeviceSN) override;
    sdk::HRESULT IsStarted() override;
    sdk::HRESULT IsInitialized() override;
    sdk::HRESULT GetDeviceXML(std::string& bstrXML) override;
    sdk::HRESULT GetName(std::string& bstrName) override;
    sdk::HRESULT GetVendorID(std::string& bstrVendorID) override;
    sdk::HRESULT GetProductID(std::string& bstrProductID) override;
    sdk::HRESULT GetHardwareID(std::string& bstrHardwareID) override;
    sdk::HRESULT GetHardwareVer(std::string& bstrApiVer, std::string& bstrFwVer) override;
    sdk::HRESULT GetContainerID(std::string& bstrContainerID) override;
    sdk::HRESULT SetFriendlyName(const std::string& bstrFriendlyName) override;
    sdk::HRESULT GetFriendlyName(std::string& bstrFriendlyName) override;
    sdk::HRESULT SetDescription(const std::string& bstrDescription) override;
    sdk::HRESULT GetDescription(std::string& bstrDescription) override;
    sdk::HRESULT ResetDefault() override;
    sdk::HRESULT ResetStatus() override;
    sdk::HRESULT ResetWatchDog() override;
    sdk::HRESULT GetLastStatus() override;
    sdk::HRESULT GetStatusDSP(unsigned char& pbVolume) override;
    sdk::HRESULT GetStatusALC(unsigned char& pbRecovery, unsigned char& pbMode,
                              unsigned char& pbRefVal, unsigned char& pbVolume) override;
    sdk::HRESULT GetStatusHPF_LPF(unsigned char& pbHPF_1, unsigned char& pbHPF_2,
                                  unsigned char& pbLPF) override;
    sdk::HRESULT GetStatusEQ_NOTCH_GAIN(unsigned char& pbNOTCH, unsigned char& pbEQ_1_GAIN,
                                        unsigned char& pbEQ_2_GAIN, unsigned char& pbEQ_3_GAIN,
                                        unsigned char& pbEQ_4_GAIN,
                                        unsigned char& pbEQ_5_GAIN) override;
    sdk::HRESULT GetStatusEQ_POWER_BW_MODE(unsigned char& pbPOWER, unsigned char& pbEQ_1_BW_MODE,
                                           unsigned char& pbEQ_2_BW_MODE,
                                           unsigned char& pbEQ_3_BW_MODE,
                                           unsigned char& pbEQ_4_BW_MODE,
                                           unsigned char& pbEQ_5_BW_MODE) override;
    sdk::HRESULT SetDirectionVolume(unsigned char bVolume) override;
    sdk::HRESULT GetDirection(unsigned char& pbVol, unsigned char& pbZoom,
                              unsigned char& pbBeam) override;
    sdk::HRESULT SetVolume(unsigned char bVolume) override;
    sdk::HRESULT SetVolumeNorm() override;
    sdk::HRESULT SetVolumeMute() override;
    sdk::HRESULT SetZoom(unsigned char bZoom) override;
    sdk::HRESULT SetBeam(unsigned char bBeam) override;
    sdk::HRESULT Set_LPF(unsigned char bLPF) override;
    sdk::HRESULT Set_HPF_1(unsigned char bHPF_1) override;
    sdk::HRESULT Set_HPF_2(unsigned char bHPF_2) override;
    sdk::HRESULT Set_EQ_NOTCH(unsigned char bEQ_ON) override;
    sdk::HRESULT Set_EQ_GAIN(unsigned char bEQ, unsigned char bGAIN) override;
    sdk::HRESULT Set_EQ_POWER(unsigned char bEQ_ON) override;
    sdk::HRESULT Set_EQ_BAND_WIDTH(unsigned char bEQ, int nBand, int nWidth) override;
    sdk::HRESULT Set_EQ_BAND_MODE(unsigned char bEQ, unsigned char bMode) override;
    sdk::HRESULT Set_ALC_RECOVERY(unsigned char bVAL) override;
    sdk::HRESULT Set_ALC_MODE(unsigned char bVAL) override;
    sdk::HRESULT Set_ALC_REF_VALUE(unsigned char bREF_VAL) override;
    sdk::HRESULT Get_Ext_OutVolume(unsigned char& pbVolume) override;
    sdk::HRESULT Set_Ext_OutVolume(unsigned char bVolume) override;
    sdk::HRESULT Get_Ext_TPA(unsigned char& pbTPA) override;
    sdk::HRESULT Set_Ext_TPA(unsigned char bTPA) override;

  private:
    // Declared first: the proxy must go before the session's connection.
    const std::shared_ptr<ClientSession> session_;
    const std::string path_;
    std::unique_ptr<sdbus::IProxy> proxy_;
};

}  // namespace qm::ipc
