#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "common/ipc/notification_outbox.h"
#include "common/ipc/remote_sink_proxy.h"
#include "common/sdk/interfaces.h"

namespace qm::ipc {

// The sinks clients advised through the bus. A sink is known by its client's unique bus name and
// its object path there; the manager tells sinks apart by object identity, so one
// RemoteSinkProxy stands for a (client, path) pair for as long as the manager holds it advised,
// and advising the same pair twice hands the manager the same object twice.
//
// Every method runs on the connection's event loop, in the order the bus delivered the calls and
// the client's departure.
class SinkTable {
  public:
    SinkTable(std::shared_ptr<sdk::IQuillmereSDK> manager,
              std::shared_ptr<NotificationOutbox> outbox);

    sdk::HRESULT advise(const std::string& client, const std::string& path);
    sdk::HRESULT unadvise(const std::string& client, const std::string& path);
    // Unadvises every sink of a client that left the bus, as often as it was advised.
    void clientLeft(const std::string& client);

    // Number of (client, path) pairs advised at least once.
    std::size_t size() const;

  private:
    struct Entry {
        std::shared_ptr<RemoteSinkProxy> proxy;
        int advised = 0;
    };
    using Key = std::pair<std::string, std::string>;

    const std::shared_ptr<sdk::IQuillmereSDK> manager_;
    const std::shared_ptr<NotificationOutbox> outbox_;
    mutable std::mutex mutex_;  // for size() from other threads; the table changes on one thread
    std::map<Key, Entry> entries_;
};

}  // namespace qm::ipc
