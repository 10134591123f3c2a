#include "common/ipc/sdk_adaptor.h"

#include <algorithm>
#include <array>

#include <sdbus-c++/sdbus-c++.h>

#include "common/ipc/bus_names.h"
#include "common/ipc/call_pool.h"
#include "common/ipc/client_calls.h"
#include "common/ipc/device_registry.h"
#include "common/ipc/method_export.h"
#include "common/ipc/notification_outbox.h"
#include "common/ipc/sink_notifier.h"
#include "common/ipc/sink_table.h"

namespace qm::ipc {
namespace {

using sdk::HRESULT;
using sdk::IQuillmereSDK;
using Names = std::vector<std::string>;

// A device list longer than this is not a list but a broken enumerator.
constexpr std::size_t kMaxEnumeratedDevices = 4096;

// Walks the manager's enumerator to the end.
HRESULT enumerateDevices(IQuillmereSDK& manager,
                         std::vector<std::shared_ptr<sdk::IQMDevice>>& devices) {
    std::shared_ptr<sdk::IEnumQMDevice> enumerator;
    const HRESULT hr = manager.EnumQMDevice(&enumerator);
    if (sdk::FAILED(hr)) {
        return hr;
    }
    if (!enumerator) {
        return sdk::E_UNEXPECTED;
    }
    constexpr unsigned long kBatch = 16;
    std::array<std::shared_ptr<sdk::IQMDevice>, kBatch> batch;
    while (devices.size() < kMaxEnumeratedDevices) {
        unsigned long fetched = 0;
        const HRESULT next = enumerator->Next(kBatch, batch.data(), &fetched);
        if (sdk::FAILED(next)) {
            return next;
        }
        fetched = std::min(fetched, kBatch);
        for (unsigned long i = 0; i < fetched; ++i) {
            devices.push_back(std::move(batch[i]));
        }
        if (next != sdk::S_OK || fetched == 0) {
            break;
        }
    }
    return hr;
}

}  // namespace

struct SdkAdaptor::Bus {
    sdbus::Slot nameWatch;
    std::unique_ptr<sdbus::IObject> object;
};

SdkAdaptor::SdkAdaptor(sdbus::IConnection& connection, std::shared_ptr<IQuillmereSDK> manager,
                       ServerOptions options)
    : connection_(connection), manager_(std::move(manager)), options_(options) {
    outbox_ = std::make_shared<NotificationOutbox>(options_.maxQueuedNotificationsPerClient);
    notifier_ = std::make_unique<SinkNotifier>(connection_, outbox_, options_.notifyTimeout);
    sinks_ = std::make_unique<SinkTable>(manager_, outbox_);
    pool_ = std::make_unique<CallPool>(options_.callThreads);
    calls_ = std::make_unique<ClientCalls>(*pool_);
    registry_ = std::make_shared<DeviceRegistry>(connection_, *calls_);
    bus_ = std::make_unique<Bus>();
    // Watch departures before anyone can advise a sink.
    bus_->nameWatch = connection_.addMatch(
        "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
        "interface='org.freedesktop.DBus',member='NameOwnerChanged'",
        [this](sdbus::Message& message) {
            std::string name;
            std::string oldOwner;
            std::string newOwner;
            message >> name >> oldOwner >> newOwner;
            if (!name.empty() && name.front() == ':' && newOwner.empty()) {
                onClientLeft(name);
            }
        });
    exportManager();
}

SdkAdaptor::~SdkAdaptor() {
    // No more manager calls and departures; then let the calls in progress finish before the
    // device objects and everything the calls use go away.
    bus_.reset();
    pool_->stop();
}

void SdkAdaptor::exportManager() {
    bus_->object = sdbus::createObject(connection_, kSdkPath);
    sdbus::IObject& object = *bus_->object;
    const auto add = [&](const char* name, Names in, Names out, auto body) {
        detail::exportPooledMethod(object, kSdkInterface, name, std::move(in), std::move(out),
                                   *calls_, manager_, std::move(body));
    };

    // The methods that carry only values; those that carry objects follow.
#define QM_EXPORT_MANAGER_METHOD(Name, ...)                                       \
    add(#Name, Names{QM_IN_NAMES(__VA_ARGS__)}, Names{QM_OUT_NAMES(__VA_ARGS__)}, \
        detail::tableBody<&IQuillmereSDK::Name>());
#define QM_OBJECT_METHOD(Name, ...)
    QM_MANAGER_METHODS(QM_EXPORT_MANAGER_METHOD, QM_OBJECT_METHOD)
#undef QM_OBJECT_METHOD
#undef QM_EXPORT_MANAGER_METHOD

    using EnumReply = sdbus::Result<std::int32_t, std::vector<sdbus::ObjectPath>>;
    object.registerMethod("EnumQMDevice")
        .onInterface(kSdkInterface)
        .withInputParamNames(Names{})
        .withOutputParamNames("hr", "ppEnum")
        .implementedAs([this, &object](EnumReply&& result) {
            auto reply = std::make_shared<EnumReply>(std::move(result));
            const std::string client = detail::currentSender(object);
            const bool queued =
                calls_->run(client, [reply, manager = manager_, registry = registry_, client] {
                    std::vector<std::shared_ptr<sdk::IQMDevice>> devices;
                    std::vector<sdbus::ObjectPath> paths;
                    const HRESULT hr = enumerateDevices(*manager, devices);
                    if (sdk::SUCCEEDED(hr)) {
                        for (auto& path : registry->publish(devices, client)) {
                            paths.emplace_back(std::move(path));
                        }
                    }
                    try {
                        reply->returnResults(hr, paths);
                    } catch (const std::exception&) {
                        // The client is gone.
                    }
                });
            if (!queued) {
                detail::replyError(*reply, kErrorServiceStopping, "the service is stopping");
            }
        });

    add("RemoveDevice", {"pDevice"}, {},
        [registry = registry_](IQuillmereSDK& m, const sdbus::ObjectPath& path) {
            return std::tuple{m.RemoveDevice(registry->find(path))};
        });
    // Sinks change on the event loop itself, in the order of the clients' calls and departures.
    object.registerMethod("AdviceSink")
        .onInterface(kSdkInterface)
        .withInputParamNames("pCallMe")
        .withOutputParamNames("hr")
        .implementedAs([this, &object](const sdbus::ObjectPath& sink) -> std::int32_t {
            if (sink == kNullObjectPath) {
                return sdk::E_POINTER;
            }
            return sinks_->advise(detail::currentSender(object), sink);
        });
    object.registerMethod("UnadviceSink")
        .onInterface(kSdkInterface)
        .withInputParamNames("pCallMe")
        .withOutputParamNames("hr")
        .implementedAs([this, &object](const sdbus::ObjectPath& sink) -> std::int32_t {
            return sinks_->unadvise(detail::currentSender(object), sink);
        });
    object.finishRegistration();
}

void SdkAdaptor::onClientLeft(const std::string& client) {
    sinks_->clientLeft(client);
    outbox_->dropClient(client);
    if (calls_->clientLeft(client)) {
        pool_->post([registry = registry_, client] { registry->clientLeft(client); });
    }
}

std::size_t SdkAdaptor::exportedDeviceCount() const {
    return registry_->exportedCount();
}

std::size_t SdkAdaptor::advisedSinkCount() const {
    return sinks_->size();
}

std::size_t SdkAdaptor::droppedNotificationCount() const {
    return outbox_->droppedCount();
}

}  // namespace qm::ipc
