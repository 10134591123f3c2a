#include "common/ipc/sink_notifier.h"

#include <sdbus-c++/sdbus-c++.h>

#include "common/ipc/bus_names.h"
#include "common/ipc/wire_text.h"

namespace qm::ipc {

SinkNotifier::SinkNotifier(sdbus::IConnection& connection,
                           std::shared_ptr<NotificationOutbox> outbox,
                           std::chrono::milliseconds callTimeout)
    : connection_(connection), outbox_(std::move(outbox)), callTimeout_(callTimeout) {
    thread_ = std::thread([this] { run(); });
}

SinkNotifier::~SinkNotifier() {
    outbox_->close();
    if (thread_.joinable()) {
        thread_.join();
    }
    // Destroying the proxies cancels the reply handlers of calls still pending; the calls
    // themselves are already on their way.
    proxies_.clear();
}

void SinkNotifier::run() {
    while (auto work = outbox_->next()) {
        if (work->kind == NotificationOutbox::Work::Kind::ForgetClient) {
            proxies_.erase(work->notification.client);
            continue;
        }
        send(work->notification);
    }
}

void SinkNotifier::send(const Notification& notification) {
    const std::shared_ptr<NotificationOutbox> outbox = outbox_;
    const std::string client = notification.client;
    const std::uint64_t ticket = notification.ticket;
    try {
        proxyFor(notification.client, notification.path)
            .callMethodAsync("OnDeviceNotify")
            .onInterface(kDeviceNotifyInterface)
            .withTimeout(callTimeout_)
            .withArguments(toWireText(notification.serial), std::int32_t{notification.state})
            .uponReplyInvoke([outbox, client, ticket](const sdbus::Error* /*error*/) {
                // The sink's result is ignored, as the manager ignores it; an error or a
                // time-out only means the lane may move on.
                outbox->finished(client, ticket);
            });
    } catch (const std::exception&) {
        // The call could not even be sent (connection closing): move on.
        outbox->finished(client, ticket);
    }
}

sdbus::IProxy& SinkNotifier::proxyFor(const std::string& client, const std::string& path) {
    auto& proxy = proxies_[client][path];
    if (!proxy) {
        proxy = sdbus::createProxy(connection_, client, path);
    }
    return *proxy;
}

}  // namespace qm::ipc
