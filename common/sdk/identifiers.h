#pragma once

#include <cstdint>

#include "common/sdk/guid.h"

// The published identity of the client interface: type library, classes, interfaces, AppID,
// their help strings and ProgIDs, and the notification states.
namespace qm::sdk {

constexpr Guid makeGuid(std::uint32_t d1, std::uint16_t d2, std::uint16_t d3, std::uint8_t b0,
                        std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4,
                        std::uint8_t b5, std::uint8_t b6, std::uint8_t b7) {
    return Guid{d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}};
}

// Type library.
inline constexpr Guid LIBID_QUILLMERESDKLib =
    makeGuid(0x4A7D0C11, 0x1234, 0x5678, 0x90, 0x00, 0x0E, 0xCE, 0x8A, 0xC9, 0xE8, 0x62);
inline constexpr const char* kTypeLibraryName = "QUILLMERESDKLib";
inline constexpr const char* kTypeLibraryHelp = "Quillmere SDK 1.0 Type Library";
inline constexpr const char* kTypeLibraryVersion = "1.0";
inline constexpr std::uint32_t kTypeLibraryLocale = 1033;
inline constexpr std::uint32_t kFirstMemberId = 0x60010000;

// Classes and interfaces.
inline constexpr Guid CLSID_QuillmereSDK =
    makeGuid(0x4A7D0C11, 0x1111, 0x0000, 0x8D, 0x95, 0x0E, 0xCE, 0x8A, 0xC9, 0xE8, 0x62);
inline constexpr Guid IID_IQuillmereSDK =
    makeGuid(0x4A7D0C11, 0x1111, 0x0001, 0x8D, 0x95, 0x0E, 0xCE, 0x8A, 0xC9, 0xE8, 0x62);
inline constexpr Guid CLSID_QMDevice =
    makeGuid(0x4A7D0C11, 0x2222, 0x0000, 0x8D, 0x95, 0x0E, 0xCE, 0x8A, 0xC9, 0xE8, 0x62);
inline constexpr Guid IID_IQMDevice =
    makeGuid(0x4A7D0C11, 0x2222, 0x0001, 0x8D, 0x95, 0x0E, 0xCE, 0x8A, 0xC9, 0xE8, 0x62);
inline constexpr Guid IID_IEnumQMDevice =
    makeGuid(0x4A7D0C11, 0x3333, 0x0000, 0x8D, 0x95, 0x0E, 0xCE, 0x8A, 0xC9, 0xE8, 0x62);
inline constexpr Guid IID_IDeviceNotify =
    makeGuid(0x4A7D0C22, 0x2222, 0x0001, 0x8D, 0x95, 0x0E, 0xCE, 0x8A, 0xC9, 0xE8, 0x62);
inline constexpr Guid CLSID_QMDeviceNotify =
    makeGuid(0x4A7D0C22, 0x2222, 0x2222, 0x8D, 0x95, 0x0E, 0xCE, 0x8A, 0xC9, 0xE8, 0x62);
inline constexpr Guid APPID_qmMicHost =
    makeGuid(0xDCC305A1, 0x68F8, 0x45AE, 0xB4, 0x55, 0x51, 0x51, 0x42, 0x00, 0x09, 0x86);

inline constexpr const char* kHelpQuillmereSDK = "QuillmereSDK Class";
inline constexpr const char* kHelpIQuillmereSDK = "IQuillmereSDK Base Object interface";
inline constexpr const char* kHelpQMDevice = "QMDevice Class";
inline constexpr const char* kHelpIQMDevice = "Quillmere Base Object interface";
inline constexpr const char* kHelpIEnumQMDevice = "Quillmere Device Object Enumerator";
inline constexpr const char* kHelpIDeviceNotify = "IDeviceNotify Interface";
inline constexpr const char* kHelpQMDeviceNotify = "QMDeviceNotify Class";
inline constexpr const char* kAppIdName = "qmMicHost";

// One registered class: its id, ProgIDs and description.
struct ClassRegistration {
    Guid clsid;
    const char* progId;
    const char* versionIndependentProgId;
    const char* description;
};

inline constexpr ClassRegistration kRegisteredClasses[] = {
    {CLSID_QuillmereSDK, "qmMicHost.QuillmereSDK.1", "qmMicHost.QuillmereSDK",
     "QuillmereSDK Class"},
    {CLSID_QMDevice, "qmMicHost.QMDevice.1", "qmMicHost.QMDevice", "QMDevice Class"},
    {CLSID_QMDeviceNotify, "qmMicHost.QMDeviceNotify.1", "qmMicHost.QMDeviceNotify",
     "QMDeviceNotify Class"},
};

// The version the device manager reports through GetVersion.
inline constexpr const char* kSdkVersion = "1.0.0.4";

// Notification states carried by IDeviceNotify::OnDeviceNotify.
inline constexpr int QM_NOTIFY_SERVICE_RELEASE = -1;  // the service is shutting down
inline constexpr int QM_NOTIFY_STOPPED = 0;  // a known microphone was unplugged and stopped
inline constexpr int QM_NOTIFY_STARTED = 1;  // a known microphone was started
inline constexpr int QM_NOTIFY_NEW = 2;      // a new microphone was found and started
inline constexpr int QM_NOTIFY_REMOVED = 3;  // a microphone was removed from list and cache
inline constexpr int QM_NOTIFY_INACTIVE_REMOVED = 4;  // RemoveAllInactive removed at least one
// The service applied a microphone's automatic profile as it started: every step acknowledged
// (5), or the run ended without it (6: a step failed, or the profile can't be read).
inline constexpr int QM_NOTIFY_PROFILE_APPLIED = 5;
inline constexpr int QM_NOTIFY_PROFILE_FAILED = 6;

// Serial numbers sent with the states that concern no single microphone.
inline constexpr const char* kReleaseNotifySerial = "000000";
inline constexpr const char* kInactiveRemovedSerial = "1234567";

}  // namespace qm::sdk
