#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/sdk/device_methods.h"
#include "common/sdk/hresult.h"
#include "common/sdk/manager_methods.h"

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

    [[nodiscard]] virtual HRESULT OnDeviceNotify(const std::string& bstrSN,
                                                 int nState) = 0;  // slot 3
};

class IQMDevice {
  public:
    virtual ~IQMDevice() = default;

#define QM_DECLARE_DEVICE_METHOD(Name, ...) \
    [[nodiscard]] virtual HRESULT Name(QM_PARAMETERS(__VA_ARGS__)) = 0;
    QM_DEVICE_METHODS(QM_DECLARE_DEVICE_METHOD)
#undef QM_DECLARE_DEVICE_METHOD
};

class IEnumQMDevice {
  public:
    virtual ~IEnumQMDevice() = default;

    // Copies up to `celt` device references into rgelt[0..celt). pceltFetched, when given, is
    // set to 0 first and then to the number copied. Null rgelt, or celt above 1 without
    // pceltFetched: E_POINTER. S_OK when celt references were returned, S_FALSE when fewer.
    [[nodiscard]] virtual HRESULT Next(unsigned long celt, std::shared_ptr<IQMDevice>* rgelt,
                                       unsigned long* pceltFetched) = 0;              // slot 3
    [[nodiscard]] virtual HRESULT Skip(unsigned long celt) = 0;                       // 4
    [[nodiscard]] virtual HRESULT Reset() = 0;                                        // 5
    [[nodiscard]] virtual HRESULT Clone(std::shared_ptr<IEnumQMDevice>* ppEnum) = 0;  // 6
};

class IQuillmereSDK {
  public:
    virtual ~IQuillmereSDK() = default;

    // WriteLog records its text as it stands; it is never used as a format.
#define QM_DECLARE_MANAGER_METHOD(Name, ...) \
    [[nodiscard]] virtual HRESULT Name(QM_PARAMETERS(__VA_ARGS__)) = 0;
    QM_MANAGER_METHODS(QM_DECLARE_MANAGER_METHOD, QM_DECLARE_MANAGER_METHOD)
#undef QM_DECLARE_MANAGER_METHOD
};

}  // namespace qm::sdk
