#pragma once

#include <string>

#include "common/sdk/method_table.h"

// The methods of a microphone's object in slot order (from slot 3), one line each (see
// method_table.h). Everything that implements or forwards the whole interface is made from this
// list: the interface IQMDevice itself, the D-Bus proxy and adaptor, the test fakes. The D-Bus
// form of each method (an int32 HRESULT first, then the out values) is published in
// common/ipc/qmCoreAudio.xml, which a test keeps in step with this table.

// clang-format off
#define QM_DEVICE_METHODS(X) \
    X(GetDeviceIndexHID, (out, int, nDeviceIndex))                                              \
    X(GetDeviceSN, (out, std::string, bstrDeviceSN))                                            \
    X(IsStarted)                                                                                \
    X(IsInitialized)                                                                            \
    X(GetDeviceXML, (out, std::string, bstrXML))                                                \
    X(GetName, (out, std::string, bstrName))                                                    \
    X(GetVendorID, (out, std::string, bstrVendorID))                                            \
    X(GetProductID, (out, std::string, bstrProductID))                                          \
    X(GetHardwareID, (out, std::string, bstrHardwareID))                                        \
    X(GetHardwareVer, (out, std::string, bstrApiVer), (out, std::string, bstrFwVer))            \
    X(GetContainerID, (out, std::string, bstrContainerID))                                      \
    X(SetFriendlyName, (in, std::string, bstrFriendlyName))                                     \
    X(GetFriendlyName, (out, std::string, bstrFriendlyName))                                    \
    X(SetDescription, (in, std::string, bstrDescription))                                       \
    X(GetDescription, (out, std::string, bstrDescription))                                      \
    X(ResetDefault)                                                                             \
    X(ResetStatus)                                                                              \
    X(ResetWatchDog)                                                                            \
    X(GetLastStatus)                                                                            \
    X(GetStatusDSP, (out, unsigned char, pbVolume))                                             \
    X(GetStatusALC, (out, unsigned char, pbRecovery), (out, unsigned char, pbMode),             \
      (out, unsigned char, pbRefVal), (out, unsigned char, pbVolume))                           \
    X(GetStatusHPF_LPF, (out, unsigned char, pbHPF_1), (out, unsigned char, pbHPF_2),           \
      (out, unsigned char, pbLPF))                                                              \
    X(GetStatusEQ_NOTCH_GAIN, (out, unsigned char, pbNOTCH), (out, unsigned char, pbEQ_1_GAIN), \
      (out, unsigned char, pbEQ_2_GAIN), (out, unsigned char, pbEQ_3_GAIN),                     \
      (out, unsigned char, pbEQ_4_GAIN), (out, unsigned char, pbEQ_5_GAIN))                     \
    X(GetStatusEQ_POWER_BW_MODE, (out, unsigned char, pbPOWER),                                 \
      (out, unsigned char, pbEQ_1_BW_MODE), (out, unsigned char, pbEQ_2_BW_MODE),               \
      (out, unsigned char, pbEQ_3_BW_MODE), (out, unsigned char, pbEQ_4_BW_MODE),               \
      (out, unsigned char, pbEQ_5_BW_MODE))                                                     \
    X(SetDirectionVolume, (in, unsigned char, bVolume))                                         \
    X(GetDirection, (out, unsigned char, pbVol), (out, unsigned char, pbZoom),                  \
      (out, unsigned char, pbBeam))                                                             \
    X(SetVolume, (in, unsigned char, bVolume))                                                  \
    X(SetVolumeNorm)                                                                            \
    X(SetVolumeMute)                                                                            \
    X(SetZoom, (in, unsigned char, bZoom))                                                      \
    X(SetBeam, (in, unsigned char, bBeam))                                                      \
    X(Set_LPF, (in, unsigned char, bLPF))                                                       \
    X(Set_HPF_1, (in, unsigned char, bHPF_1))                                                   \
    X(Set_HPF_2, (in, unsigned char, bHPF_2))                                                   \
    X(Set_EQ_NOTCH, (in, unsigned char, bEQ_ON))                                                \
    X(Set_EQ_GAIN, (in, unsigned char, bEQ), (in, unsigned char, bGAIN))                        \
    X(Set_EQ_POWER, (in, unsigned char, bEQ_ON))                                                \
    X(Set_EQ_BAND_WIDTH, (in, unsigned char, bEQ), (in, int, nBand), (in, int, nWidth))         \
    X(Set_EQ_BAND_MODE, (in, unsigned char, bEQ), (in, unsigned char, bMode))                   \
    X(Set_ALC_RECOVERY, (in, unsigned char, bVAL))                                              \
    X(Set_ALC_MODE, (in, unsigned char, bVAL))                                                  \
    X(Set_ALC_REF_VALUE, (in, unsigned char, bREF_VAL))                                         \
    X(Get_Ext_OutVolume, (out, unsigned char, pbVolume))                                        \
    X(Set_Ext_OutVolume, (in, unsigned char, bVolume))                                          \
    X(Get_Ext_TPA, (out, unsigned char, pbTPA))                                                 \
    X(Set_Ext_TPA, (in, unsigned char, bTPA))
// clang-format on
