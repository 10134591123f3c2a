#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/sdk/hresult.h"

// The client interface of the service: the device manager, one object per microphone, an
// enumerator over the microphones and the callback clients implement. Methods are declared in
// slot order. Objects are shared: a holder keeps an object alive. Out strings are UTF-8 and
// returned by value through the reference arguments; out values are left unchanged on failure
// unless a method says otherwise.
namespace qm::sdk {

// Event type of IQuillmereSDK::WriteLog and of every log line.
typedef enum : std::int32_t {
    leInfo = 0,
    leWarning = 1,
    leError = 2,
    leDebug = 3,
} qmLogEventType;

class IQMDevice;
class IEnumQMDevice;

class IDeviceNotify {
  public:
    virtual ~IDeviceNotify() = default;

    virtual HRESULT OnDeviceNotify(const std::string& bstrSN, int nState) = 0;  // slot 3
};

class IQMDevice {
  public:
    virtual ~IQMDevice() = default;

    virtual HRESULT GetDeviceIndexHID(int& nDeviceIndex) = 0;                             // slot 3
    virtual HRESULT GetDeviceSN(std::string& bstrDeviceSN) = 0;                           // 4
    virtual HRESULT IsStarted() = 0;                                                      // 5
    virtual HRESULT IsInitialized() = 0;                                                  // 6
    virtual HRESULT GetDeviceXML(std::string& bstrXML) = 0;                               // 7
    virtual HRESULT GetName(std::string& bstrName) = 0;                                   // 8
    virtual HRESULT GetVendorID(std::string& bstrVendorID) = 0;                           // 9
    virtual HRESULT GetProductID(std::string& bstrProductID) = 0;                         // 10
    virtual HRESULT GetHardwareID(std::string& bstrHardwareID) = 0;                       // 11
    virtual HRESULT GetHardwareVer(std::string& bstrApiVer, std::string& bstrFwVer) = 0;  // 12
    virtual HRESULT GetContainerID(std::string& bstrContainerID) = 0;                     // 13
    virtual HRESULT SetFriendlyName(const std::string& bstrFriendlyName) = 0;             // 14
    virtual HRESULT GetFriendlyName(std::string& bstrFriendlyName) = 0;                   // 15
    virtual HRESULT SetDescription(const std::string& bstrDescription) = 0;               // 16
    virtual HRESULT GetDescription(std::string& bstrDescription) = 0;                     // 17
    virtual HRESULT ResetDefault() = 0;                                                   // 18
    virtual HRESULT ResetStatus() = 0;                                                    // 19
    virtual HRESULT ResetWatchDog() = 0;                                                  // 20
    virtual HRESULT GetLastStatus() = 0;                                                  // 21
    virtual HRESULT GetStatusDSP(unsigned char& pbVolume) = 0;                            // 22
    virtual HRESULT GetStatusALC(unsigned char& pbRecovery, unsigned char& pbMode,
                                 unsigned char& pbRefVal, unsigned char& pbVolume) = 0;  // 23
    virtual HRESULT GetStatusHPF_LPF(unsigned char& pbHPF_1, unsigned char& pbHPF_2,
                                     unsigned char& pbLPF) = 0;  // 24
    virtual HRESULT GetStatusEQ_NOTCH_GAIN(unsigned char& pbNOTCH, unsigned char& pbEQ_1_GAIN,
                                           unsigned char& pbEQ_2_GAIN, unsigned char& pbEQ_3_GAIN,
                                           unsigned char& pbEQ_4_GAIN,
                                           unsigned char& pbEQ_5_GAIN) = 0;  // 25
    virtual HRESULT GetStatusEQ_POWER_BW_MODE(unsigned char& pbPOWER, unsigned char& pbEQ_1_BW_MODE,
                                              unsigned char& pbEQ_2_BW_MODE,
                                              unsigned char& pbEQ_3_BW_MODE,
                                              unsigned char& pbEQ_4_BW_MODE,
                                              unsigned char& pbEQ_5_BW_MODE) = 0;  // 26
    virtual HRESULT SetDirectionVolume(unsigned char bVolume) = 0;                 // 27
    virtual HRESULT GetDirection(unsigned char& pbVol, unsigned char& pbZoom,
                                 unsigned char& pbBeam) = 0;                          // 28
    virtual HRESULT SetVolume(unsigned char bVolume) = 0;                             // 29
    virtual HRESULT SetVolumeNorm() = 0;                                              // 30
    virtual HRESULT SetVolumeMute() = 0;                                              // 31
    virtual HRESULT SetZoom(unsigned char bZoom) = 0;                                 // 32
    virtual HRESULT SetBeam(unsigned char bBeam) = 0;                                 // 33
    virtual HRESULT Set_LPF(unsigned char bLPF) = 0;                                  // 34
    virtual HRESULT Set_HPF_1(unsigned char bHPF_1) = 0;                              // 35
    virtual HRESULT Set_HPF_2(unsigned char bHPF_2) = 0;                              // 36
    virtual HRESULT Set_EQ_NOTCH(unsigned char bEQ_ON) = 0;                           // 37
    virtual HRESULT Set_EQ_GAIN(unsigned char bEQ, unsigned char bGAIN) = 0;          // 38
    virtual HRESULT Set_EQ_POWER(unsigned char bEQ_ON) = 0;                           // 39
    virtual HRESULT Set_EQ_BAND_WIDTH(unsigned char bEQ, int nBand, int nWidth) = 0;  // 40
    virtual HRESULT Set_EQ_BAND_MODE(unsigned char bEQ, unsigned char bMode) = 0;     // 41
    virtual HRESULT Set_ALC_RECOVERY(unsigned char bVAL) = 0;                         // 42
    virtual HRESULT Set_ALC_MODE(unsigned char bVAL) = 0;                             // 43
    virtual HRESULT Set_ALC_REF_VALUE(unsigned char bREF_VAL) = 0;                    // 44
    virtual HRESULT Get_Ext_OutVolume(unsigned char& pbVolume) = 0;                   // 45
    virtual HRESULT Set_Ext_OutVolume(unsigned char bVolume) = 0;                     // 46
    virtual HRESULT Get_Ext_TPA(unsigned char& pbTPA) = 0;                            // 47
    virtual HRESULT Set_Ext_TPA(unsigned char bTPA) = 0;                              // 48
};

class IEnumQMDevice {
  public:
    virtual ~IEnumQMDevice() = default;

    // Copies up to `celt` device references into rgelt[0..celt). pceltFetched, when given, is
    // set to 0 first and then to the number copied. Null rgelt, or celt above 1 without
    // pceltFetched: E_POINTER. S_OK when celt references were returned, S_FALSE when fewer.
    virtual HRESULT Next(unsigned long celt, std::shared_ptr<IQMDevice>* rgelt,
                         unsigned long* pceltFetched) = 0;              // slot 3
    virtual HRESULT Skip(unsigned long celt) = 0;                       // 4
    virtual HRESULT Reset() = 0;                                        // 5
    virtual HRESULT Clone(std::shared_ptr<IEnumQMDevice>* ppEnum) = 0;  // 6
};

class IQuillmereSDK {
  public:
    virtual ~IQuillmereSDK() = default;

    // The text is recorded as it stands; it is never used as a format.
    virtual HRESULT WriteLog(qmLogEventType Type, const std::string& str) = 0;        // slot 3
    virtual HRESULT NotifyRelease() = 0;                                              // 4
    virtual HRESULT IsInitialize() = 0;                                               // 5
    virtual HRESULT GetVersion(std::string& pbstrVersion) = 0;                        // 6
    virtual HRESULT EnumQMDevice(std::shared_ptr<IEnumQMDevice>* ppEnum) = 0;         // 7
    virtual HRESULT RemoveDevice(const std::shared_ptr<IQMDevice>& pDevice) = 0;      // 8
    virtual HRESULT RemoveDeviceBySN(const std::string& bstrSN) = 0;                  // 9
    virtual HRESULT RemoveAllInactive() = 0;                                          // 10
    virtual HRESULT GetLogFolder(std::string& pbstrLogFolder) = 0;                    // 11
    virtual HRESULT SetLogFolder(const std::string& bstrLogFolder) = 0;               // 12
    virtual HRESULT AdviceSink(const std::shared_ptr<IDeviceNotify>& pCallMe) = 0;    // 13
    virtual HRESULT UnadviceSink(const std::shared_ptr<IDeviceNotify>& pCallMe) = 0;  // 14
};

}  // namespace qm::sdk
