#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/runtime/clock.h"
#include "common/sdk/interfaces.h"

namespace qm::studio {

class ServiceConnector;

// The studio's connection to the service: the device manager and the microphones of the last
// enumeration, in enumeration order. Used on the main thread only.
class ServiceConnection {
  public:
    using DevicePtr = std::shared_ptr<sdk::IQMDevice>;

    static constexpr Duration kInitializePoll = std::chrono::milliseconds(10);
    static constexpr Duration kDefaultInitializeLimit = std::chrono::seconds(5);

    ServiceConnection(ServiceConnector& connector, Clock& clock,
                      Duration initializeLimit = kDefaultInitializeLimit);
    ~ServiceConnection();
    ServiceConnection(const ServiceConnection&) = delete;
    ServiceConnection& operator=(const ServiceConnection&) = delete;

    // Reaches the device manager, waits (every 10 ms, up to the limit) until it reports that it
    // is initialised, and takes its microphones one at a time. A failure leaves the connection
    // closed and returns its result: E_FAIL when the service can't be reached,
    // HRESULT_FROM_WIN32(ERROR_TIMEOUT) when it never finished initialising.
    sdk::HRESULT Connect();
    // Drops every microphone and the device manager.
    void Disconnect();

    bool connected() const { return sdk_ != nullptr; }
    sdk::IQuillmereSDK* sdk() const { return sdk_.get(); }
    const std::shared_ptr<sdk::IQuillmereSDK>& sdkPtr() const { return sdk_; }

    const std::vector<DevicePtr>& devices() const { return devices_; }
    // The microphone with this serial number (ASCII case-insensitive), or nothing.
    DevicePtr findBySerial(std::string_view serial) const;
    bool contains(const DevicePtr& device) const;
    // Removes the microphone with this serial number; the array closes up. False when unknown.
    bool removeBySerial(std::string_view serial);
    // Enumerates the service's microphones again, appends the one with this serial number and
    // returns it; nothing when the service doesn't have it.
    DevicePtr fetchNew(std::string_view serial);

  private:
    ServiceConnector& connector_;
    Clock& clock_;
    Duration initializeLimit_;
    std::shared_ptr<sdk::IQuillmereSDK> sdk_;
    std::vector<DevicePtr> devices_;
};

// The serial number of a microphone; empty when it can't be read.
std::string serialOf(sdk::IQMDevice& device);

}  // namespace qm::studio
