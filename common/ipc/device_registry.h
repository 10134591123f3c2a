#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "common/ipc/client_calls.h"
#include "common/ipc/device_adaptor.h"
#include "common/sdk/interfaces.h"

namespace sdbus {
class IConnection;
}

namespace qm::ipc {

// The device objects exported on the bus. A device object is exported when it first appears in
// an enumeration result and keeps one object path for as long as it exists.
//
// When an export is dropped: clients hold device objects without telling the service, so the
// registry remembers which clients received each path (its holders). An export is dropped when
// the device was not in the manager's most recent enumeration result and every holder has left
// the bus. A device the manager removed therefore keeps answering (as the device object does)
// for every client that still runs and may hold it, and goes away with the last of them.
//
// Runs on the call pool; it never runs on the event loop (it calls into the connection while
// holding its lock, which the event loop must never wait for).
class DeviceRegistry {
  public:
    DeviceRegistry(sdbus::IConnection& connection, ClientCalls& calls);
    DeviceRegistry(const DeviceRegistry&) = delete;
    DeviceRegistry& operator=(const DeviceRegistry&) = delete;
    ~DeviceRegistry();

    // Exports the devices of an enumeration result, records `client` as holder of each and the
    // result as the manager's current list; returns the object paths in the result's order
    // ("/" for a null entry).
    std::vector<std::string> publish(const std::vector<std::shared_ptr<sdk::IQMDevice>>& devices,
                                     const std::string& client);
    // The device exported at `path`, or null.
    std::shared_ptr<sdk::IQMDevice> find(const std::string& path) const;
    // Forgets a client that left the bus and drops the exports nobody can hold any more.
    void clientLeft(const std::string& client);

    std::size_t exportedCount() const;

  private:
    struct Export {
        std::unique_ptr<DeviceAdaptor> adaptor;
        std::set<std::string> holders;
        bool listed = false;
    };
    // The path a device object got; kept for the object's life, also while it is not exported.
    struct PathReservation {
        std::weak_ptr<sdk::IQMDevice> device;
        std::string path;
    };

    std::string pathFor(const std::shared_ptr<sdk::IQMDevice>& device);
    bool pathTaken(const std::string& path, const sdk::IQMDevice* except) const;
    void sweep();

    sdbus::IConnection& connection_;
    ClientCalls& calls_;
    mutable std::mutex mutex_;
    std::map<std::string, Export> exports_;  // by path
    std::map<const sdk::IQMDevice*, PathReservation> reservations_;
};

}  // namespace qm::ipc
