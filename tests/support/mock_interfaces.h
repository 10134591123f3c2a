#pragma once

#include <gmock/gmock.h>

#include "common/sdk/interfaces.h"

// GoogleMock stand-ins for the client interfaces, shared by the tests of every program.
namespace qm::sdk::testing {

class MockQMDevice : public IQMDevice {
  public:
#define QM_MOCK_DEVICE_METHOD(Name, ...) \
    MOCK_METHOD(HRESULT, Name, (QM_PARAMETERS(__VA_ARGS__)), (override));
    QM_DEVICE_METHODS(QM_MOCK_DEVICE_METHOD)
#undef QM_MOCK_DEVICE_METHOD
};

class MockDeviceNotify : public IDeviceNotify {
  public:
    MOCK_METHOD(HRESULT, OnDeviceNotify, (const std::string&, int), (override));
};

}  // namespace qm::sdk::testing
