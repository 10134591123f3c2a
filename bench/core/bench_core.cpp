// Host-side costs of the service core on virtual microphones and a virtual clock: the time the
// microphone would take is taken out, what remains is our own work.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "common/runtime/virtual_clock.h"
#include "common/settings/system_paths.h"
#include "platform/registry/status.h"
#include "platform/registry/store.h"
#include "platform/registry/value_rules.h"
#include "service/core/bridge_scan.h"
#include "service/core/command_protocol.h"
#include "service/core/quillmere_sdk.h"
#include "service/log/log_storage.h"
#include "sim/virtual_rig.h"
#include "tests/support/temp_folder.h"

namespace qm::core {
namespace {

using namespace std::chrono_literals;

class NullLog final : public log::LogSink {
  public:
    void write(std::uint32_t, std::string_view) override {}
};

class DiscardingStorage final : public LogStorage {
  public:
    bool ensureDirectory(const std::string&) override { return true; }
    std::unique_ptr<LogFile> openForAppend(const std::string&) override {
        return std::make_unique<File>();
    }

  private:
    struct File final : LogFile {
        std::uint64_t initialSize() const override { return 0; }
        bool append(std::string_view) override { return true; }
    };
};

// One open channel to one virtual microphone, as a device object holds it.
class ChannelHost final : public ProtocolHost {
  public:
    explicit ChannelHost(sim::VirtualHidUart& bus) {
        hiduart::HID_UART_DEVICE h = hiduart::kNoDevice;
        bus.Open(&h, 0, 0, 0);
        bus.SetUartConfig(h, 57600, 3, 0, 0, 0);
        bus.SetTimeouts(h, 150, 150);
        channel_ = std::make_shared<DeviceChannel>(bus, h);
    }
    std::shared_ptr<DeviceChannel> openChannel() override { return channel_; }
    log::LogSink& deviceLog() override { return log_; }
    bool storeSetting(settings::Setting, std::uint8_t) override { return true; }
    void restartDevice() override {}

  private:
    std::shared_ptr<DeviceChannel> channel_;
    NullLog log_;
};

void BM_StatusReadExchange(benchmark::State& state) {
    VirtualClock clock;
    sim::VirtualHidUart bus(clock);
    bus.plug(sim::MicrophoneIdentity::make("Larch", "B1"));
    ChannelHost host(bus);
    ExchangeLock lock;
    CommandProtocol protocol(host, lock, clock);
    unsigned char r = 0, m = 0, v = 0, c = 0;
    const TimePoint start = clock.now();
    for (auto _ : state) {
        benchmark::DoNotOptimize(protocol.GetStatusALC(r, m, v, c));
    }
    // The microphone's share, taken out of the measured time: the wait and the read time-out.
    const auto virtualMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(clock.now() - start).count();
    state.counters["device_ms_per_exchange"] =
        static_cast<double>(virtualMs) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_StatusReadExchange);

void BM_ChangeAndAcknowledge(benchmark::State& state) {
    VirtualClock clock;
    sim::VirtualHidUart bus(clock);
    bus.plug(sim::MicrophoneIdentity::make("Larch", "B1"));
    ChannelHost host(bus);
    ExchangeLock lock;
    CommandProtocol protocol(host, lock, clock);
    unsigned char value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(protocol.Set_LPF(++value % 10));
        benchmark::DoNotOptimize(protocol.GetLastStatus());
    }
}
BENCHMARK(BM_ChangeAndAcknowledge);

// A manager with B microphones plugged and started and Q foreign endpoints whose container ids
// stay queued: the bridge library waits of one timer tick, in virtual time.
class TickRig {
  public:
    TickRig(int microphones, int foreign) {
        const std::string folder = folder_.path().string();
        store_ = std::make_unique<registry::Store>(registry::StoreLocations::inFolder(folder, "b"));
        registry::Key config;
        if (store_->createKey(registry::Hive::LocalMachine, settings::kDevicesKey,
                              registry::Access::ReadWrite, config) != registry::ERROR_SUCCESS ||
            registry::writeString(config, "LogFolder", folder + "/logs") !=
                registry::ERROR_SUCCESS) {
            throw std::runtime_error("the benchmark's settings store cannot be written");
        }
        for (int i = 0; i < microphones; ++i)
            rig_.plug("Cedar", "MIC" + std::to_string(i));
        manager_ = CQuillmereSDK::create(
            DeviceEnvironment{*store_, rig_.bus(), rig_.endpoints(), clock_, storage_},
            CQuillmereSDK::DeviceThread::LeaveOut);
        manager_->DoUpdateDeviceList(0);
        for (int i = 0; i < foreign; ++i) {
            const std::string id = rig_.plugForeignEndpoint("cam" + std::to_string(i));
            manager_->DoDeviceAdded(id);
        }
    }
    ~TickRig() {
        manager_.reset();
        store_.reset();
    }
    CQuillmereSDK& manager() { return *manager_; }
    VirtualClock& clock() { return clock_; }
    sim::VirtualRig& rig() { return rig_; }

  private:
    qm::testing::TempFolder folder_;
    VirtualClock clock_;
    sim::VirtualRig rig_{clock_};
    DiscardingStorage storage_;
    std::unique_ptr<registry::Store> store_;
    std::shared_ptr<CQuillmereSDK> manager_;
};

// Our tick: every queued container id is matched against one scan of the bridges.
void BM_TimerTickOneScan(benchmark::State& state) {
    TickRig rig(16, 16);
    for (auto _ : state) {
        rig.clock().resetCounters();
        rig.manager().DoUpdateDeviceList(1);
        state.counters["virtual_wait_ms"] = static_cast<double>(
            std::chrono::duration_cast<std::chrono::milliseconds>(rig.clock().sleptTotal())
                .count());
        state.counters["waits"] = static_cast<double>(rig.clock().sleepCount());
    }
}
BENCHMARK(BM_TimerTickOneScan)->Unit(benchmark::kMillisecond);

// The same queued ids looked up with a scan of their own each, as one lookup per id does it.
void BM_TimerTickScanPerQueuedId(benchmark::State& state) {
    TickRig rig(16, 16);
    for (auto _ : state) {
        rig.clock().resetCounters();
        for (int i = 0; i < 16; ++i) {
            const auto id =
                endpoints::usbDeviceContainerId("046D", "0A44", "cam" + std::to_string(i));
            QM_DEVICE record;
            benchmark::DoNotOptimize(rig.manager().FindHidUartDevice(id.toBracedString(), record));
        }
        state.counters["virtual_wait_ms"] = static_cast<double>(
            std::chrono::duration_cast<std::chrono::milliseconds>(rig.clock().sleptTotal())
                .count());
        state.counters["waits"] = static_cast<double>(rig.clock().sleepCount());
    }
}
BENCHMARK(BM_TimerTickScanPerQueuedId)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qm::core
