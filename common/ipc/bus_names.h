#pragma once

#include <optional>
#include <string>
#include <string_view>

// Names under which the service and its clients meet on D-Bus: the service's bus name, the object
// paths and the interface names of the client interface, and where a client exports its sinks.
namespace qm::ipc {

// Well-known bus name the service owns.
inline constexpr const char* kBusName = "com.quillmere.qmMicHost";

// The device manager (one object for the whole service).
inline constexpr const char* kSdkPath = "/com/quillmere/QuillmereSDK";
inline constexpr const char* kSdkInterface = "com.quillmere.QuillmereSDK";

// One object per device object of the manager, at devicePath(serial, ordinal).
inline constexpr const char* kDevicePathPrefix = "/com/quillmere/devices";
inline constexpr const char* kDeviceInterface = "com.quillmere.QMDevice";

// Notification sinks, exported by clients on their own connections at
// kClientSinkPathPrefix + "/" + <number>; the number is unique per sink object within one
// client connection.
inline constexpr const char* kClientSinkPathPrefix = "/com/quillmere/client/sinks";
inline constexpr const char* kDeviceNotifyInterface = "com.quillmere.DeviceNotify";

// The simulator's control object; present only when the service runs virtual microphones.
inline constexpr const char* kSimulatorPath = "/com/quillmere/Simulator";
inline constexpr const char* kSimulatorInterface = "com.quillmere.Simulator";

// The object path that stands for "no object" where a method takes an object path.
inline constexpr const char* kNullObjectPath = "/";

// Environment variable that picks the bus: "system", "session" or a D-Bus address.
inline constexpr const char* kBusAddressEnvironment = "QM_DBUS_ADDRESS";

// A serial number as one object path element: ASCII letters and digits stay, every other byte
// becomes "_" and two upper-case hexadecimal digits. The empty serial gives the empty string
// (callers use a numbered element then).
std::string escapePathElement(std::string_view serial);
// The reverse of escapePathElement; nothing for text that escapePathElement cannot produce.
std::optional<std::string> unescapePathElement(std::string_view element);

// The path of a device object: kDevicePathPrefix + "/" + the escaped serial for the first live
// device object with that serial (ordinal 1); later ones that exist at the same time, and devices
// without a serial, add "_n" and the ordinal. "_n" never occurs in an escaped serial, so paths of
// different serials cannot collide.
std::string devicePath(std::string_view serial, unsigned ordinal);

// The path of the client's sink number `number`.
std::string clientSinkPath(unsigned long long number);

}  // namespace qm::ipc
