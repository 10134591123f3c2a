#pragma once

#include <gmock/gmock.h>

#include "common/sdk/interfaces.h"

// GoogleMock stand-ins for the client interfaces, shared by the tests of every program.
namespace qm::sdk::testing {

class MockQMDevice : public IQMDevice {
  public:
    MOCK_METHOD(HRESULT, GetDeviceIndexHID, (int&), (override));
    MOCK_METHOD(HRESULT, GetDeviceSN, (std::string&), (override));
    MOCK_METHOD(HRESULT, IsStarted, (), (override));
    MOCK_METHOD(HRESULT, IsInitialized, (), (override));
    MOCK_METHOD(HRESULT, GetDeviceXML, (std::string&), (override));
    MOCK_METHOD(HRESULT, GetName, (std::string&), (override));
    MOCK_METHOD(HRESULT, GetVendorID, (std::string&), (override));
    MOCK_METHOD(HRESULT, GetProductID, (std::string&), (override));
    MOCK_METHOD(HRESULT, GetHardwareID, (std::string&), (override));
    MOCK_METHOD(HRESULT, GetHardwareVer, (std::string&, std::string&), (override));
    MOCK_METHOD(HRESULT, GetContainerID, (std::string&), (override));
    MOCK_METHOD(HRESULT, SetFriendlyName, (const std::string&), (override));
    MOCK_METHOD(HRESULT, GetFriendlyName, (std::string&), (override));
    MOCK_METHOD(HRESULT, SetDescription, (const std::string&), (override));
    MOCK_METHOD(HRESULT, GetDescription, (std::string&), (override));
    MOCK_METHOD(HRESULT, ResetDefault, (), (override));
    MOCK_METHOD(HRESULT, ResetStatus, (), (override));
    MOCK_METHOD(HRESULT, ResetWatchDog, (), (override));
    MOCK_METHOD(HRESULT, GetLastStatus, (), (override));
    MOCK_METHOD(HRESULT, GetStatusDSP, (unsigned char&), (override));
    MOCK_METHOD(HRESULT, GetStatusALC,
                (unsigned char&, unsigned char&, unsigned char&, unsigned char&), (override));
    MOCK_METHOD(HRESULT, GetStatusHPF_LPF, (unsigned char&, unsigned char&, unsigned char&),
                (override));
    MOCK_METHOD(HRESULT, GetStatusEQ_NOTCH_GAIN,
                (unsigned char&, unsigned char&, unsigned char&, unsigned char&, unsigned char&,
                 unsigned char&),
                (override));
    MOCK_METHOD(HRESULT, GetStatusEQ_POWER_BW_MODE,
                (unsigned char&, unsigned char&, unsigned char&, unsigned char&, unsigned char&,
                 unsigned char&),
                (override));
    MOCK_METHOD(HRESULT, SetDirectionVolume, (unsigned char), (override));
    MOCK_METHOD(HRESULT, GetDirection, (unsigned char&, unsigned char&, unsigned char&),
                (override));
    MOCK_METHOD(HRESULT, SetVolume, (unsigned char), (override));
    MOCK_METHOD(HRESULT, SetVolumeNorm, (), (override));
    MOCK_METHOD(HRESULT, SetVolumeMute, (), (override));
    MOCK_METHOD(HRESULT, SetZoom, (unsigned char), (override));
    MOCK_METHOD(HRESULT, SetBeam, (unsigned char), (override));
    MOCK_METHOD(HRESULT, Set_LPF, (unsigned char), (override));
    MOCK_METHOD(HRESULT, Set_HPF_1, (unsigned char), (override));
    MOCK_METHOD(HRESULT, Set_HPF_2, (unsigned char), (override));
    MOCK_METHOD(HRESULT, Set_EQ_NOTCH, (unsigned char), (override));
    MOCK_METHOD(HRESULT, Set_EQ_GAIN, (unsigned char, unsigned char), (override));
    MOCK_METHOD(HRESULT, Set_EQ_POWER, (unsigned char), (override));
    MOCK_METHOD(HRESULT, Set_EQ_BAND_WIDTH, (unsigned char, int, int), (override));
    MOCK_METHOD(HRESULT, Set_EQ_BAND_MODE, (unsigned char, unsigned char), (override));
    MOCK_METHOD(HRESULT, Set_ALC_RECOVERY, (unsigned char), (override));
    MOCK_METHOD(HRESULT, Set_ALC_MODE, (unsigned char), (override));
    MOCK_METHOD(HRESULT, Set_ALC_REF_VALUE, (unsigned char), (override));
    MOCK_METHOD(HRESULT, Get_Ext_OutVolume, (unsigned char&), (override));
    MOCK_METHOD(HRESULT, Set_Ext_OutVolume, (unsigned char), (override));
    MOCK_METHOD(HRESULT, Get_Ext_TPA, (unsigned char&), (override));
    MOCK_METHOD(HRESULT, Set_Ext_TPA, (unsigned char), (override));
};

class MockDeviceNotify : public IDeviceNotify {
  public:
    MOCK_METHOD(HRESULT, OnDeviceNotify, (const std::string&, int), (override));
};

}  // namespace qm::sdk::testing
