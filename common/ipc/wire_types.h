#pragma once

// Internal to the binding: how each parameter type of the method tables travels on the bus.
// Includes sdbus-c++.

#include <cstdint>
#include <memory>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "common/sdk/interfaces.h"

namespace qm::ipc {

// unsigned char goes as a byte, int as int32 and strings as UTF-8 strings, as they are.
template <typename T>
struct Wire {
    using Type = T;
};
template <>
struct Wire<sdk::qmLogEventType> {
    using Type = std::int32_t;
};
// An object travels as its path ("/" for none).
template <typename T>
struct Wire<std::shared_ptr<T>> {
    using Type = sdbus::ObjectPath;
};
// An enumerator travels as the paths of the devices it lists.
template <>
struct Wire<std::shared_ptr<sdk::IEnumQMDevice>> {
    using Type = std::vector<sdbus::ObjectPath>;
};

template <typename T>
using WireType = typename Wire<T>::Type;

}  // namespace qm::ipc
