#pragma once

#include <memory>
#include <string>

#include "common/ipc/notification_outbox.h"
#include "common/sdk/interfaces.h"

namespace qm::ipc {

// The manager's view of a sink that a client exported on its connection. OnDeviceNotify only
// queues the call (the manager calls it on its device thread, which must never wait for a
// client) and reports S_OK once queued.
class RemoteSinkProxy final : public sdk::IDeviceNotify {
  public:
    RemoteSinkProxy(std::string client, std::string path,
                    std::shared_ptr<NotificationOutbox> outbox);

    // S_OK when queued; the result for a disconnected object once the service's binding is gone.
    sdk::HRESULT OnDeviceNotify(const std::string& bstrSN, int nState) override;

    const std::string& client() const { return client_; }
    const std::string& path() const { return path_; }

  private:
    const std::string client_;
    const std::string path_;
    const std::shared_ptr<NotificationOutbox> outbox_;
};

}  // namespace qm::ipc
