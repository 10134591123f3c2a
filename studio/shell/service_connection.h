#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/runtime/clock.h"
#include "common/sdk/interfaces.h"

namespace qm::studio {

class ServiceConnector;

// What the studio keeps of a microphone so that drawing the list and updating the ribbon never
// call the service: its identity and whether it is started. Read on a worker (readDeviceInfo)
// when the microphones are listed, after a notification about it and after a rename.
struct DeviceInfo {
    std::string serial;
    std::string name;  // product name
    std::string vendorId;
    std::string productId;
    std::string friendlyName;
    std::string description;
    bool started = false;
    // Its product name and serial number could both be read; only such microphones are listed.
    bool identified = false;
};

// A microphone of the service with what the studio knows of it.
struct ServiceDevice {
    std::shared_ptr<sdk::IQMDevice> device;
    DeviceInfo info;
};

// What connecting gathers, off the GUI thread: the device manager and its microphones in
// enumeration order, or the failure.
struct ServiceSnapshot {
    sdk::HRESULT result = sdk::E_FAIL;
    std::shared_ptr<sdk::IQuillmereSDK> sdk;
    std::vector<ServiceDevice> devices;
};

inline constexpr Duration kInitializePoll = std::chrono::milliseconds(10);
inline constexpr Duration kDefaultInitializeLimit = std::chrono::seconds(5);

// The following run on a worker (they call the service and may wait).

// Reaches the device manager, waits (every 10 ms, up to the limit) until it reports that it is
// initialised, and takes its microphones one at a time with their info. Fails with E_FAIL when
// the service can't be reached, HRESULT_FROM_WIN32(ERROR_TIMEOUT) when it never finished
// initialising.
ServiceSnapshot takeServiceSnapshot(ServiceConnector& connector, Clock& clock,
                                    Duration initializeLimit = kDefaultInitializeLimit);
// Everything DeviceInfo holds, read from the microphone.
DeviceInfo readDeviceInfo(sdk::IQMDevice& device);
// Enumerates the service's microphones again and returns the one with this serial number.
std::optional<ServiceDevice> fetchDevice(sdk::IQuillmereSDK& service, std::string_view serial);

// The studio's connection to the service as the GUI thread sees it: the device manager and the
// microphones of the last enumeration, in enumeration order, with what is known of each. GUI
// thread only; it never calls the service.
class ServiceConnection {
  public:
    using DevicePtr = std::shared_ptr<sdk::IQMDevice>;

    ServiceConnection(ServiceConnector& connector, Clock& clock,
                      Duration initializeLimit = kDefaultInitializeLimit);
    ServiceConnection(const ServiceConnection&) = delete;
    ServiceConnection& operator=(const ServiceConnection&) = delete;

    // What connecting needs; it runs on a worker (takeServiceSnapshot).
    ServiceConnector& connector() const { return connector_; }
    Clock& clock() const { return clock_; }
    Duration initializeLimit() const { return initializeLimit_; }

    // Takes a snapshot that succeeded; a failed one leaves the connection closed.
    void install(ServiceSnapshot snapshot);
    // Drops every microphone and the device manager.
    void Disconnect();
    // Changes at every install and Disconnect, so that work started for one connection can tell
    // that it no longer applies.
    std::uint64_t generation() const { return generation_; }

    bool connected() const { return sdk_ != nullptr; }
    const std::shared_ptr<sdk::IQuillmereSDK>& sdkPtr() const { return sdk_; }

    const std::vector<ServiceDevice>& devices() const { return devices_; }
    // The microphone with this serial number (ASCII case-insensitive), or null.
    ServiceDevice* find(std::string_view serial);
    const ServiceDevice* find(std::string_view serial) const;
    ServiceDevice* find(const DevicePtr& device);
    bool contains(const DevicePtr& device) const;
    // True when the microphone with this serial number is known and started.
    bool isStarted(std::string_view serial) const;
    void append(ServiceDevice device);
    // Removes the microphone with this serial number; the array closes up. False when unknown.
    bool removeBySerial(std::string_view serial);

  private:
    ServiceConnector& connector_;
    Clock& clock_;
    Duration initializeLimit_;
    std::shared_ptr<sdk::IQuillmereSDK> sdk_;
    std::vector<ServiceDevice> devices_;
    std::uint64_t generation_ = 0;
};

}  // namespace qm::studio
