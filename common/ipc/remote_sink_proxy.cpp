#include "common/ipc/remote_sink_proxy.h"

#include "common/ipc/ipc_result.h"

namespace qm::ipc {

RemoteSinkProxy::RemoteSinkProxy(std::string client, std::string path,
                                 std::shared_ptr<NotificationOutbox> outbox)
    : client_(std::move(client)), path_(std::move(path)), outbox_(std::move(outbox)) {}

sdk::HRESULT RemoteSinkProxy::OnDeviceNotify(const std::string& bstrSN, int nState) {
    return outbox_->post(client_, path_, bstrSN, nState) ? sdk::S_OK : kObjectDisconnected;
}

}  // namespace qm::ipc
