#pragma once

#include <memory>
#include <string>

#include "common/sdk/method_table.h"

// The methods of the device manager in slot order (from slot 3), one line each (see
// method_table.h). QM_MANAGER_METHODS(X, O) calls X for the methods that carry only values and O
// for the four that carry objects (an enumerator, a device, a sink): the interface, the proxy's
// declarations and the test fakes treat both alike, while the binding moves the values of X
// methods itself and has its own code for each O method. The D-Bus form of each method is
// published in common/ipc/qmCoreAudio.xml, which a test keeps in step with this table.

// clang-format off
#define QM_MANAGER_METHODS(X, O) \
    X(WriteLog, (in, ::qm::sdk::qmLogEventType, Type), (in, std::string, str))   \
    X(NotifyRelease)                                                             \
    X(IsInitialize)                                                              \
    X(GetVersion, (out, std::string, pbstrVersion))                              \
    O(EnumQMDevice, (outp, std::shared_ptr<::qm::sdk::IEnumQMDevice>, ppEnum))   \
    O(RemoveDevice, (in, std::shared_ptr<::qm::sdk::IQMDevice>, pDevice))        \
    X(RemoveDeviceBySN, (in, std::string, bstrSN))                               \
    X(RemoveAllInactive)                                                         \
    X(GetLogFolder, (out, std::string, pbstrLogFolder))                          \
    X(SetLogFolder, (in, std::string, bstrLogFolder))                            \
    O(AdviceSink, (in, std::shared_ptr<::qm::sdk::IDeviceNotify>, pCallMe))      \
    O(UnadviceSink, (in, std::shared_ptr<::qm::sdk::IDeviceNotify>, pCallMe))
// clang-format on
