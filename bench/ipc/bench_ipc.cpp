// Cost of the D-Bus binding: one GetDeviceSN round trip through a private bus against the same
// call in process and against the floor (sd-bus itself on both ends, same bus, same run; the two
// called in turn report the ratio of their medians as floor_ratio), calls per second from four
// client connections at once, and the time from a manager notification to its arrival at a
// client's sink.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "bare_bus_peer.h"
#include "common/ipc/bus_connection.h"
#include "common/ipc/bus_names.h"
#include "common/ipc/client.h"
#include "common/ipc/device_proxy.h"
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

void BM_GetDeviceSN_Floor(benchmark::State& state) {
    const std::string& address = Service::instance().busAddress();
    const qm::bench::BareServer server(address);
    qm::bench::BareClient client(address, server.name());
    std::string serial;
    for (auto _ : state) {
        if (!client.getDeviceSN(serial)) {
            state.SkipWithError("call failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetDeviceSN_Floor)->UseRealTime();

// The median of `samples` (reordered).
double median(std::vector<double>& samples) {
    auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end());
    return *middle;
}

// Our proxy, the floor and a bare sd-bus client of our service called in turn, so that all see the
// same load on the machine: the medians of their round trips (proxy_us, floor_us, service_us)
// and the ratio of the proxy's to the floor's (floor_ratio).
void BM_GetDeviceSN_ProxyToFloor(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    auto client = Service::instance().connect();
    auto device = Service::instance().firstDevice(*client);
    const std::string& address = Service::instance().busAddress();
    const qm::bench::BareServer server(address);
    qm::bench::BareClient bare(address, server.name());
    auto* proxy = dynamic_cast<ipc::DeviceProxy*>(device.get());
    if (proxy == nullptr) {
        state.SkipWithError("not a device proxy");
        return;
    }
    qm::bench::BareClient bareOfService(address, ipc::kBusName, proxy->path(),
                                        ipc::kDeviceInterface);
    std::vector<double> proxyTimes;
    std::vector<double> floorTimes;
    std::vector<double> serviceTimes;
    std::string serial;
    for (auto _ : state) {
        const auto start = Clock::now();
        const bool proxyOk = device->GetDeviceSN(serial) == sdk::S_OK;
        const auto middle = Clock::now();
        const bool floorOk = bare.getDeviceSN(serial);
        const auto third = Clock::now();
        const bool serviceOk = bareOfService.getDeviceSN(serial);
        const auto end = Clock::now();
        if (!proxyOk || !floorOk || !serviceOk) {
            state.SkipWithError(!proxyOk   ? "the proxy's call failed"
                                : !floorOk ? "the floor's call failed"
                                           : "the bare call of the service failed");
            break;
        }
        proxyTimes.push_back(std::chrono::duration<double, std::micro>(middle - start).count());
        floorTimes.push_back(std::chrono::duration<double, std::micro>(third - middle).count());
        serviceTimes.push_back(std::chrono::duration<double, std::micro>(end - third).count());
    }
    if (!proxyTimes.empty()) {
        const double proxyMedian = median(proxyTimes);
        const double floorMedian = median(floorTimes);
        state.counters["proxy_us"] = proxyMedian;
        state.counters["floor_us"] = floorMedian;
        state.counters["service_us"] = median(serviceTimes);
        state.counters["floor_ratio"] = proxyMedian / floorMedian;
    }
}
BENCHMARK(BM_GetDeviceSN_ProxyToFloor)->UseRealTime();

void BM_GetDeviceSN_OverBus(benchmark::State& state) {
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
    static_cast<void>(client->UnadviceSink(sink));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NotificationToSink)->UseRealTime();

}  // namespace
