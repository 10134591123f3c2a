#include "common/ipc/client_session.h"

#include <sdbus-c++/sdbus-c++.h>

#include "common/ipc/bus_connection.h"
#include "common/ipc/device_proxy.h"
#include "common/ipc/ipc_result.h"
#include "common/ipc/loop_graveyard.h"
#include "common/ipc/sink_export_table.h"

namespace qm::ipc {

// Everything bound to the connection's loop thread. Members are destroyed in reverse order: the
// sinks' objects before the connection they are exported on.
struct ClientSession::Core final : Reapable {
    std::unique_ptr<BusConnection> bus;
    std::unique_ptr<SinkExportTable> sinks;

    ~Core() override {
        if (bus) {
            bus->stopEventLoop();
        }
    }
};

std::shared_ptr<ClientSession> ClientSession::open(const ClientOptions& options) {
    auto core = std::make_unique<Core>();
    core->bus = BusConnection::open(BusAddress::resolve(options.bus));
    BusConnection* bus = core->bus.get();
    core->sinks =
        std::make_unique<SinkExportTable>(bus->native(), [bus] { return bus->isLoopThread(); });
    core->bus->startSharedEventLoop();
    return std::shared_ptr<ClientSession>(new ClientSession(options, std::move(core)));
}

ClientSession::ClientSession(ClientOptions options, std::unique_ptr<Core> core)
    : options_(std::move(options)), core_(std::move(core)) {}

ClientSession::~ClientSession() {
    if (core_->bus->isLoopThread()) {
        // Released from inside a notification: the loop cannot wait for itself.
        core_->bus->stopEventLoop();
        LoopGraveyard::instance().adopt(std::move(core_));
        return;
    }
    core_.reset();
    LoopGraveyard::instance().reap();
}

std::unique_ptr<sdbus::IProxy> ClientSession::makeProxy(const std::string& path) {
    return sdbus::createProxy(core_->bus->native(), options_.serviceName, path);
}

BusConnection& ClientSession::bus() {
    return *core_->bus;
}

std::shared_ptr<DeviceProxy> ClientSession::deviceProxy(const std::string& path) {
    std::lock_guard guard(mutex_);
    std::erase_if(devices_, [](const auto& item) { return item.second.expired(); });
    auto& slot = devices_[path];
    auto proxy = slot.lock();
    if (!proxy) {
        proxy = std::make_shared<DeviceProxy>(shared_from_this(), path);
        slot = proxy;
    }
    return proxy;
}

SinkExportTable& ClientSession::sinks() {
    return *core_->sinks;
}

sdk::HRESULT ClientSession::ping() {
    try {
        auto proxy = makeProxy(kSdkPath);
        core_->bus->call(*proxy, proxy->createMethodCall("org.freedesktop.DBus.Peer", "Ping"),
                         options_.callTimeout);
        return sdk::S_OK;
    } catch (const sdbus::Error& e) {
        return hresultFromBusError(e.getName());
    } catch (const std::exception&) {
        return sdk::E_FAIL;
    }
}

std::string ClientSession::uniqueName() const {
    return core_->bus->uniqueName();
}

}  // namespace qm::ipc
