#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "common/sdk/interfaces.h"

namespace qm::ipc::testing {

// A device object whose every answer is predictable: each call is recorded as
// "Name(arguments)"; every method returns the configured result; on success out bytes are
// seed, seed+1, ... in parameter order, out strings are "<text>/<parameter name>" (the serial for
// GetDeviceSN, the stored text for GetFriendlyName and GetDescription); on failure out values stay
// as they were (GetDeviceIndexHID sets -1 first, as the device object does). With its channel
// closed, exchanges with the microphone fail with E_NOINTERFACE while the identity getters still
// answer. Calls can be held at their start until released.
class FakeDevice final : public sdk::IQMDevice {
  public:
    explicit FakeDevice(
        std::string serial, std::uint8_t seed = 0x10,
        std::string text = "Mikrofon \u201eStudio\u201c 100% \u2014 \u65e5\u672c %s %n");

    void setResult(sdk::HRESULT hr);
    // GetHardwareVer succeeds without setting its strings, as the device object does when the
    // microphone's answer is no version reply.
    void setVersionUnknown();
    void closeChannel();
    void setStarted(bool started);
    // The latest calls (at most kCallLogLength), oldest first.
    std::vector<std::string> calls() const;
    static constexpr std::size_t kCallLogLength = 1024;
    std::string lastCall() const;

    // Makes the next `count` calls (every following call when negative) wait at their start
    // until releaseCalls().
    void holdCalls(int count = -1);
    void releaseCalls();
    // Waits (bounded) until a call is being held.
    bool waitUntilHolding(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

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
    std::string record(const char* name, std::initializer_list<std::string> arguments = {});
    sdk::HRESULT identity(const std::string& call);
    sdk::HRESULT exchange(const std::string& call);
    unsigned char byteValue(int position) const;
    std::string text(const char* parameter) const;
    std::string stored(const std::string& key) const;
    void store(const std::string& key, const std::string& value);
    static std::string describe(unsigned char value);
    static std::string describe(int value);
    static std::string describe(const std::string& value);

    const std::string serial_;
    const std::uint8_t seed_;
    const std::string text_;
    mutable std::mutex mutex_;
    std::condition_variable holdChanged_;
    sdk::HRESULT result_ = sdk::S_OK;
    bool closed_ = false;
    bool versionUnknown_ = false;
    bool started_ = true;
    bool hold_ = false;
    int holdsLeft_ = -1;
    int holding_ = 0;
    std::deque<std::string> calls_;  // the latest kCallLogLength calls
    std::map<std::string, std::string> stored_;
};

}  // namespace qm::ipc::testing
