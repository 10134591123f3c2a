#pragma once

// The names under which qmMicHost is known to the service manager, the bus and the registry.
namespace qm::com {

// The service, the unit "qmMicHost.service", the caption of the usage text and the AppID's
// LocalService value.
inline constexpr const char* kServiceName = "qmMicHost";
// What the service manager passes when it starts the service (the AppID's ServiceParameters).
inline constexpr const char* kServiceParameters = "-Service";
// The name the service owns on the system bus.
inline constexpr const char* kBusName = "com.quillmere.qmMicHost";
// The group whose members may call the service, use the bridges and write the machine settings.
inline constexpr const char* kManagingGroup = "quillmere";
// The system user the service runs as; the managing group is its primary group.
inline constexpr const char* kServiceUser = "qmmichost";
// The AppID key named after the executable.
inline constexpr const char* kAppIdExeKey = "qmMicHost.EXE";
// The folder under which install and uninstall write and remove the service's files, when not
// "/" (a staging folder: the files still name the executable by its real path).
inline constexpr const char* kInstallRootEnvironmentVariable = "QM_INSTALL_ROOT";

}  // namespace qm::com
