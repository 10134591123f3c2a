#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "common/sdk/interfaces.h"

namespace sdbus {
class IConnection;
}

namespace qm::ipc {

class CallPool;
class ClientCalls;
class DeviceRegistry;
class NotificationOutbox;
class SinkNotifier;
class SinkTable;

struct ServerOptions {
    // Time-out of each OnDeviceNotify call to a client's sink.
    std::chrono::milliseconds notifyTimeout{2000};
    // Worker threads that run client calls (device exchanges can take a while; calls to
    // different devices, and from different clients, proceed in parallel).
    std::size_t callThreads = 4;
    // Notifications that may wait for one client that does not answer; the oldest go first.
    std::size_t maxQueuedNotificationsPerClient = 1024;
};

// The service side of the binding: exports the device manager at kSdkPath on `connection`, and
// its device objects as clients enumerate them. The caller owns the connection, runs its event
// loop, and requests the bus name once the adaptor exists. Destroy the adaptor before the
// connection; the destructor waits for calls in progress and sends the notifications still
// queued without waiting for their replies (the connection delivers them when it is flushed), so
// a NotifyRelease just before shutdown still reaches every client.
//
// Device objects stay exported for as long as a client that received them may hold them: see
// DeviceRegistry.
//
// Threads: method calls arrive on the event loop, which hands them to a pool of workers
// (AdviceSink and UnadviceSink run on the loop itself, in order with the clients' departures).
// The manager's calls to sinks only queue; a separate thread sends them. Nothing that holds a
// lock of the manager or of the binding calls into the connection.
class SdkAdaptor {
  public:
    SdkAdaptor(sdbus::IConnection& connection, std::shared_ptr<sdk::IQuillmereSDK> manager,
               ServerOptions options = {});
    SdkAdaptor(const SdkAdaptor&) = delete;
    SdkAdaptor& operator=(const SdkAdaptor&) = delete;
    ~SdkAdaptor();

    // For diagnostics and tests.
    std::size_t exportedDeviceCount() const;
    std::size_t advisedSinkCount() const;
    std::size_t droppedNotificationCount() const;

  private:
    struct Bus;

    void exportManager();
    void onClientLeft(const std::string& client);

    sdbus::IConnection& connection_;
    const std::shared_ptr<sdk::IQuillmereSDK> manager_;
    const ServerOptions options_;
    std::shared_ptr<NotificationOutbox> outbox_;
    std::unique_ptr<SinkNotifier> notifier_;
    std::unique_ptr<SinkTable> sinks_;
    std::unique_ptr<CallPool> pool_;
    std::unique_ptr<ClientCalls> calls_;
    std::shared_ptr<DeviceRegistry> registry_;
    std::unique_ptr<Bus> bus_;  // the exported object and the bus watch
};

}  // namespace qm::ipc
