#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/registry/registry.h"
#include "tests/support/temp_folder.h"

// Costs of the registry store on this machine's disk. The hive lives in a fresh folder under the
// temporary folder (TMPDIR); every write is a durable transaction (fsync before it returns), so
// the write figures depend on the disk under TMPDIR.
namespace {

using namespace qm::registry;

constexpr const char* kDevices = "SOFTWARE\\QUILLMERE\\qmCore\\Devices";
constexpr const char* kDevice = "SOFTWARE\\QUILLMERE\\qmCore\\Devices\\SN1001";

// A machine hive holding the device cache of one microphone, as the service keeps it.
struct DeviceCache {
    qm::testing::TempFolder folder;
    Store store{StoreLocations::inFolder(folder.path(), "bench")};
    Key device;

    bool fill() {
        Key devices;
        if (store.createKey(Hive::LocalMachine, kDevices, Access::ReadWrite, devices) !=
                ERROR_SUCCESS ||
            writeString(devices, "LogFolder", "/var/log/quillmere") != ERROR_SUCCESS ||
            store.createKey(Hive::LocalMachine, kDevice, Access::ReadWrite, device) !=
                ERROR_SUCCESS) {
            return false;
        }
        for (const char* name : {"LPF", "HPF_1", "HPF_2", "Volume", "EQ_NOTCH", "EQ_POWER"}) {
            if (writeDword(device, name, 3) != ERROR_SUCCESS) {
                return false;
            }
        }
        return writeString(device, "Name", "Birch") == ERROR_SUCCESS;
    }
};

void BM_ReadDword(benchmark::State& state) {
    DeviceCache cache;
    if (!cache.fill()) {
        state.SkipWithError("cannot fill the hive");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(readDword(cache.device, "EQ_POWER"));
    }
}
BENCHMARK(BM_ReadDword);

void BM_ReadString(benchmark::State& state) {
    DeviceCache cache;
    if (!cache.fill()) {
        state.SkipWithError("cannot fill the hive");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(readString(cache.device, "Name"));
    }
}
BENCHMARK(BM_ReadString);

// One durable change, as a settings change stores its byte in the device cache.
void BM_WriteDwordDurable(benchmark::State& state) {
    DeviceCache cache;
    if (!cache.fill()) {
        state.SkipWithError("cannot fill the hive");
        return;
    }
    std::uint32_t next = 0;
    for (auto _ : state) {
        if (writeDword(cache.device, "LPF", next++) != ERROR_SUCCESS) {
            state.SkipWithError("write failed");
            break;
        }
    }
}
BENCHMARK(BM_WriteDwordDurable)->Unit(benchmark::kMicrosecond);

// Opening the five-level device key of an open store.
void BM_OpenKey(benchmark::State& state) {
    DeviceCache cache;
    if (!cache.fill()) {
        state.SkipWithError("cannot fill the hive");
        return;
    }
    for (auto _ : state) {
        Key key;
        if (cache.store.openKey(Hive::LocalMachine, kDevice, Access::ReadWrite, key) !=
            ERROR_SUCCESS) {
            state.SkipWithError("open failed");
            break;
        }
        benchmark::DoNotOptimize(key);
    }
}
BENCHMARK(BM_OpenKey);

// A program's first registry read: a new store opens and checks the hive file, then reads.
void BM_FirstReadOfANewStore(benchmark::State& state) {
    DeviceCache cache;
    if (!cache.fill()) {
        state.SkipWithError("cannot fill the hive");
        return;
    }
    for (auto _ : state) {
        Store store(StoreLocations::inFolder(cache.folder.path(), "bench"));
        Key key;
        if (store.openKey(Hive::LocalMachine, kDevices, Access::Read, key) != ERROR_SUCCESS) {
            state.SkipWithError("open failed");
            break;
        }
        benchmark::DoNotOptimize(readString(key, "LogFolder"));
    }
}
BENCHMARK(BM_FirstReadOfANewStore)->Unit(benchmark::kMicrosecond);

}  // namespace
