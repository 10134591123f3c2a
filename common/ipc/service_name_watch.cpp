#include "common/ipc/service_name_watch.h"

#include <sdbus-c++/sdbus-c++.h>

#include "common/ipc/bus_connection.h"

namespace qm::ipc {
namespace {

class BusServiceNameWatch final : public ServiceNameWatch {
  public:
    BusServiceNameWatch(std::unique_ptr<BusConnection> bus, const std::string& name,
                        Handler handler)
        : bus_(std::move(bus)), handler_(std::move(handler)) {
        // The bus daemon filters by the first argument, so only this name's changes arrive.
        const std::string rule =
            "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
            "member='NameOwnerChanged',path='/org/freedesktop/DBus',arg0='" +
            name + "'";
        match_ = bus_->native().addMatch(
            rule, [this](sdbus::Message& message) { onOwnerChanged(message); });
        bus_->startEventLoop();
    }

    ~BusServiceNameWatch() override {
        // The loop ends before the handler and the match go.
        bus_->stopEventLoop();
    }

  private:
    void onOwnerChanged(sdbus::Message& message) {
        std::string name;
        std::string oldOwner;
        std::string newOwner;
        try {
            message >> name >> oldOwner >> newOwner;
        } catch (const sdbus::Error&) {
            return;
        }
        if (!oldOwner.empty()) {
            handler_(false);
        }
        if (!newOwner.empty()) {
            handler_(true);
        }
    }

    std::unique_ptr<BusConnection> bus_;
    Handler handler_;
    sdbus::Slot match_;
};

}  // namespace

std::unique_ptr<ServiceNameWatch> watchServiceName(const ClientOptions& options,
                                                   ServiceNameWatch::Handler handler) {
    try {
        return std::make_unique<BusServiceNameWatch>(
            BusConnection::open(BusAddress::resolve(options.bus)), options.serviceName,
            std::move(handler));
    } catch (const BusError&) {
        return nullptr;
    } catch (const sdbus::Error&) {
        return nullptr;
    }
}

}  // namespace qm::ipc
