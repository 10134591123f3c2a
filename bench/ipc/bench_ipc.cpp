// Cost of the D-Bus binding: one GetDeviceSN round trip through a private bus against the same
// call in process and against the floor (sd-bus itself on both ends, same bus, same run; the
// proxy's round trip reports its ratio to the floor as floor_ratio), calls per second from four
// client connections at once, and the time from a manager notification to its arrival at a
// client's sink.
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "bare_bus_peer.h"
#include "common/ipc/bus_connection.h"
#include "common/ipc/bus_names.h"
#include "common/ipc/client.h"
#include "common/ipc/sdk_adaptor.h"
#include "common/sdk/identifiers.h"
#include "fake_device.h"
#include "fake_manager.h"
#include "support/private_bus.h"

namespace {

using qm::ipc::testing::FakeDevice;
using qm::ipc::testing::FakeManager;
namespace sdk = qm::sdk;
namespace ipc = qm::ipc;

// A private bus with the service's binding over a fake manager with one device, shared by all
// benchmarks of the run.
class Service {
  public:
    static Service& instance() {
        static Service service;
        return service;
    }

    ipc::ClientOptions clientOptions() const {
        ipc::ClientOptions options;
        options.bus = ipc::BusAddress::explicitAddress(bus_.address());
        return options;
    }

    std::shared_ptr<sdk::IQuillmereSDK> connect() const {
        auto client = ipc::connectToService(clientOptions());
        if (!client) {
            throw std::runtime_error("bench_ipc: cannot connect to the service");
        }
        return client;
    }

    std::shared_ptr<sdk::IQMDevice> firstDevice(sdk::IQuillmereSDK& client) const {
        std::shared_ptr<sdk::IEnumQMDevice> enumerator;
        std::shared_ptr<sdk::IQMDevice> device;
        if (sdk::FAILED(client.EnumQMDevice(&enumerator)) ||
            enumerator->Next(1, &device, nullptr) != sdk::S_OK) {
            throw std::runtime_error("bench_ipc: no device");
        }
        return device;
    }

    const std::string& busAddress() const { return bus_.address(); }
    FakeManager& manager() { return *manager_; }
    const std::shared_ptr<FakeDevice>& device() const { return device_; }

  private:
    Service() {
        device_ = std::make_shared<FakeDevice>("SN1001");
        manager_->setDevices({device_});
        serviceBus_ = ipc::BusConnection::open(ipc::BusAddress::explicitAddress(bus_.address()));
        adaptor_ = std::make_unique<ipc::SdkAdaptor>(serviceBus_->native(), manager_);
        serviceBus_->requestName(ipc::kBusName);
        serviceBus_->startEventLoop();
    }

    qm::testing::PrivateBus bus_;
    std::shared_ptr<FakeManager> manager_ = std::make_shared<FakeManager>();
    std::shared_ptr<FakeDevice> device_;
    std::unique_ptr<ipc::BusConnection> serviceBus_;
    std::unique_ptr<ipc::SdkAdaptor> adaptor_;
};

void BM_GetDeviceSN_InProcess(benchmark::State& state) {
    auto device = std::make_shared<FakeDevice>("SN1001");
    std::string serial;
    for (auto _ : state) {
        benchmark::DoNotOptimize(device->GetDeviceSN(serial));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetDeviceSN_InProcess);

// Seconds per iteration of the timed loop that ended last in `state`.
double secondsPerCall(const benchmark::State& state, std::chrono::steady_clock::time_point start) {
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return state.iterations() > 0 ? spent.count() / static_cast<double>(state.iterations()) : 0.0;
}

// The floor's time per call, once BM_GetDeviceSN_Floor ran in this process.
double gFloorSecondsPerCall = 0.0;

void BM_GetDeviceSN_Floor(benchmark::State& state) {
    const std::string& address = Service::instance().busAddress();
    const qm::bench::BareServer server(address);
    qm::bench::BareClient client(address, server.name());
    std::string serial;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!client.getDeviceSN(serial)) {
            state.SkipWithError("call failed");
            break;
        }
    }
    gFloorSecondsPerCall = secondsPerCall(state, start);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetDeviceSN_Floor)->UseRealTime();

void BM_GetDeviceSN_OverBus(benchmark::State& state) {
    auto client = Service::instance().connect();
    auto device = Service::instance().firstDevice(*client);
    std::string serial;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (device->GetDeviceSN(serial) != sdk::S_OK) {
            state.SkipWithError("call failed");
            break;
        }
    }
    if (gFloorSecondsPerCall > 0.0) {
        state.counters["floor_ratio"] = secondsPerCall(state, start) / gFloorSecondsPerCall;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetDeviceSN_OverBus)->UseRealTime();

// Each benchmark thread is a client with a connection of its own.
void BM_GetDeviceSN_OverBus_Clients(benchmark::State& state) {
    auto client = Service::instance().connect();
    auto device = Service::instance().firstDevice(*client);
    std::string serial;
    for (auto _ : state) {
        if (device->GetDeviceSN(serial) != sdk::S_OK) {
            state.SkipWithError("call failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetDeviceSN_OverBus_Clients)->Threads(4)->UseRealTime();

// A sink that signals each arrival.
class ArrivalSink final : public sdk::IDeviceNotify {
  public:
    sdk::HRESULT OnDeviceNotify(const std::string& /*bstrSN*/, int /*nState*/) override {
        {
            std::lock_guard guard(mutex_);
            ++arrived_;
        }
        cv_.notify_all();
        return sdk::S_OK;
    }
    bool waitFor(long count) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, std::chrono::seconds(5), [&] { return arrived_ >= count; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    long arrived_ = 0;
};

void BM_NotificationToSink(benchmark::State& state) {
    auto client = Service::instance().connect();
    auto sink = std::make_shared<ArrivalSink>();
    if (client->AdviceSink(sink) != sdk::S_OK) {
        state.SkipWithError("advise failed");
        return;
    }
    long sent = 0;
    for (auto _ : state) {
        Service::instance().manager().notify("SN1001", sdk::QM_NOTIFY_STARTED);
        if (!sink->waitFor(++sent)) {
            state.SkipWithError("notification lost");
            break;
        }
    }
    client->UnadviceSink(sink);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NotificationToSink)->UseRealTime();

}  // namespace
