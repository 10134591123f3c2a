// Speed of the log writer: what a posting thread pays for one line while the writer runs, and
// how many lines per second reach the file.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "common/runtime/virtual_clock.h"
#include "service/log/qm_log.h"
#include "tests/support/temp_folder.h"

using namespace std::chrono_literals;

namespace {

// Posts per thread in one run. Fixed, so that the queue (which the writer may not keep up with)
// stays within a few tens of megabytes.
constexpr int kPostsPerThread = 100'000;

using qm::testing::TempFolder;

// A running log on a virtual clock whose time a pump thread moves one second every millisecond
// of real time, so the writer writes a batch every millisecond while the producers post.
class PumpedLog {
  public:
    PumpedLog() {
        log.Start(folder.path().string() + "/", "qmMicHost");
        pump = std::thread([this] {
            while (!stopping.load()) {
                std::this_thread::sleep_for(1ms);
                clock.advance(1s);
            }
        });
    }
    PumpedLog(const PumpedLog&) = delete;
    PumpedLog& operator=(const PumpedLog&) = delete;
    ~PumpedLog() {
        stopping.store(true);
        pump.join();
        log.Stop();  // the clock stands still now: the writer writes everything left
    }

    qm::VirtualClock clock{qm::VirtualClock::Mode::Manual};
    TempFolder folder;
    qm::CQmLog log{clock};
    std::atomic<bool> stopping{false};
    std::thread pump;
};

std::unique_ptr<PumpedLog> pumped;

// The queue alone: one allocation and one push per line, the time given by the caller.
void BM_PostLine(benchmark::State& state) {
    if (state.thread_index() == 0) {
        pumped = std::make_unique<PumpedLog>();
    }
    const std::uint64_t time = qm::toFileTime({2026, 12, 5, 9, 0, 0, 0});
    for (auto _ : state) {
        pumped->log.Post(0, time, "StartDevice SN1001: read 25 settings, status 0");
    }
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        pumped.reset();
    }
}
BENCHMARK(BM_PostLine)->Iterations(kPostsPerThread)->Threads(1)->Threads(4)->UseRealTime();

// A formatted line as the device objects write them: format, length check, clock, post.
void BM_LogFormattedLine(benchmark::State& state) {
    if (state.thread_index() == 0) {
        pumped = std::make_unique<PumpedLog>();
    }
    int value = 0;
    for (auto _ : state) {
        pumped->log.Log(0, "Set_LPF %02X %02X -> status %d", 0x0D, value & 0xFF, 0);
        ++value;
    }
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        pumped.reset();
    }
}
BENCHMARK(BM_LogFormattedLine)->Iterations(kPostsPerThread)->Threads(1)->Threads(4)->UseRealTime();

// The same on the real clock, whose local time comes from the C library's time-zone code.
std::unique_ptr<TempFolder> realFolder;
std::unique_ptr<qm::CQmLog> realLog;

void BM_LogFormattedLineRealClock(benchmark::State& state) {
    if (state.thread_index() == 0) {
        realFolder = std::make_unique<TempFolder>();
        realLog = std::make_unique<qm::CQmLog>();
        realLog->Start(realFolder->path().string() + "/", "qmMicHost");
    }
    int value = 0;
    for (auto _ : state) {
        realLog->Log(0, "Set_LPF %02X %02X -> status %d", 0x0D, value & 0xFF, 0);
        ++value;
    }
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        realLog.reset();
        realFolder.reset();
    }
}
BENCHMARK(BM_LogFormattedLineRealClock)
    ->Iterations(kPostsPerThread)
    ->Threads(1)
    ->Threads(4)
    ->UseRealTime();

// End to end: lines posted, formatted by the writer, converted and appended to the file, one
// write call each. The writer's final emptying of the queue takes the same path as a batch.
void BM_WriteLinesToFile(benchmark::State& state) {
    const auto lines = static_cast<int>(state.range(0));
    TempFolder folder;
    qm::VirtualClock clock(qm::VirtualClock::Mode::Manual);
    qm::CQmLog log(clock);
    for (auto _ : state) {
        log.Start(folder.path().string() + "/", "qmMicHost");
        for (int i = 0; i < lines; ++i) {
            log.Log(0, "Set_EQ_BAND_WIDTH band %d code %d -> status 0", i % 5, i & 0xFF);
        }
        log.Stop();
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(state.iterations() * lines),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriteLinesToFile)->Arg(10'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
