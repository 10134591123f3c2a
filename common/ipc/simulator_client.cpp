#include <sdbus-c++/sdbus-c++.h>

#include "common/ipc/bus_connection.h"
#include "common/ipc/bus_names.h"
#include "common/ipc/ipc_result.h"
#include "common/ipc/proxy_call.h"
#include "common/ipc/simulator_control.h"

namespace qm::ipc {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kCallTimeout = 10s;

class SimulatorClient final : public SimulatorControl {
  public:
    explicit SimulatorClient(std::unique_ptr<BusConnection> connection)
        : connection_(std::move(connection)),
          proxy_(sdbus::createProxy(connection_->native(), kBusName, kSimulatorPath)) {
        connection_->startEventLoop();
    }
    ~SimulatorClient() override {
        proxy_.reset();
        connection_.reset();
    }

    sdk::HRESULT Plug(const std::string& model, const std::string& serial) override {
        std::tuple<> none;
        return call("Plug", none, model, serial);
    }
    sdk::HRESULT Unplug(const std::string& serial) override {
        std::tuple<> none;
        return call("Unplug", none, serial);
    }
    sdk::HRESULT PlugForeign(const std::string& name, std::string& endpointId) override {
        std::tuple<std::string> out;
        const auto hr = call("PlugForeign", out, name);
        if (hr == sdk::S_OK)
            endpointId = std::get<0>(out);
        return hr;
    }
    sdk::HRESULT UnplugForeign(const std::string& endpointId) override {
        std::tuple<> none;
        return call("UnplugForeign", none, endpointId);
    }
    sdk::HRESULT SetFault(const std::string& serial, const std::string& fault, std::int32_t count,
                          std::int32_t value) override {
        std::tuple<> none;
        return call("SetFault", none, serial, fault, count, value);
    }
    sdk::HRESULT List(std::vector<SimulatedMicrophoneState>& microphones) override {
        std::tuple<std::vector<sdbus::Struct<std::string, std::string, bool>>> out;
        const auto hr = call("List", out);
        if (hr == sdk::S_OK) {
            microphones.clear();
            for (const auto& m : std::get<0>(out)) {
                microphones.push_back({std::get<0>(m), std::get<1>(m), std::get<2>(m)});
            }
        }
        return hr;
    }

  private:
    template <typename... Outs, typename... Ins>
    sdk::HRESULT call(const char* method, std::tuple<Outs...>& outs, const Ins&... ins) {
        return detail::callMethod(*connection_, *proxy_, kSimulatorInterface, method, kCallTimeout,
                                  outs, ins...)
            .hr;
    }

    std::unique_ptr<BusConnection> connection_;
    std::unique_ptr<sdbus::IProxy> proxy_;
};

}  // namespace

std::shared_ptr<SimulatorControl> connectToSimulator(const BusAddress& bus, sdk::HRESULT* result) {
    try {
        auto simulator = std::make_shared<SimulatorClient>(BusConnection::open(bus));
        if (result)
            *result = sdk::S_OK;
        return simulator;
    } catch (const std::exception&) {
        if (result)
            *result = kServiceUnavailable;
        return nullptr;
    }
}

}  // namespace qm::ipc
