// Speed of the analysis: one full step every 10 ms has to stay well under 2 % of that period,
// and our 4096-point transform within 4x of FFTW's transform of the same input.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <time.h>

#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "studio/audio/analysis_engine.h"
#include "studio/audio/analysis_state.h"
#include "studio/audio/fft.h"
#include "studio/audio/power_views.h"

namespace qm::audio {
namespace {

std::vector<double> randomSignal(std::size_t n) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> v(n);
    for (double& x : v)
        x = dist(rng);
    return v;
}

// Ten blocks of a noisy tone, handed over in turn.
std::vector<std::array<float, kBlockSize>> captureBlocks() {
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> noise(-0.05F, 0.05F);
    std::vector<std::array<float, kBlockSize>> blocks(kSampleHistoryBlocks);
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        for (std::size_t i = 0; i < kBlockSize; ++i) {
            const double t = static_cast<double>(k * kBlockSize + i) / kSampleRate;
            blocks[k][i] =
                static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 1000.0 * t)) + noise(rng);
        }
    }
    return blocks;
}

// One analysis step as the analysis thread runs it: a block handed over, then the step
// (history, waveform columns, window, transform, power, spectrum history, view). The middle and
// max views refresh every eighth step, so their time is the average over a refresh cycle.
void BM_AnalysisStep(benchmark::State& state) {
    const auto blocks = captureBlocks();
    AnalysisState analysis;
    AnalysisEngine engine;
    AnalysisSettings settings;
    settings.SpectrumView = static_cast<int>(state.range(0));
    settings.WaveScale = static_cast<int>(state.range(1));
    std::size_t k = 0;
    for (auto _ : state) {
        analysis.submitBlock(blocks[k]);
        benchmark::DoNotOptimize(engine.step(analysis, settings));
        k = (k + 1) % blocks.size();
    }
}
BENCHMARK(BM_AnalysisStep)
    ->ArgNames({"view", "wave_scale"})
    ->Args({kViewMiddle, 480})
    ->Args({kViewRealTime, 480})
    ->Args({kViewMax, 1});

// A full refresh cycle of the slower views: seven steps that only count and one refresh that
// takes the extremes of 8 x 4096 values. Nearly all of the time is the refresh.
void BM_ViewRefreshCycle(benchmark::State& state) {
    SpectrumViews views;
    const std::vector<double> spectrum = randomSignal(kFftSize);
    for (std::size_t i = 0; i < kSpectrumHistoryDepth; ++i) {
        const auto slot = views.nextSlot();
        std::copy(spectrum.begin(), spectrum.end(), slot.begin());
        views.commit();
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < kViewSpan; ++i) {
            const SpectrumViews::Outcome o = views.advance(kViewMiddle);
            benchmark::DoNotOptimize(o.values.data());
        }
    }
}
BENCHMARK(BM_ViewRefreshCycle);

void BM_OurTransform(benchmark::State& state) {
    const std::vector<double> input = randomSignal(kFftSize);
    std::vector<double> re(kFftSize), im(kFftSize);
    for (auto _ : state) {
        ComputeFft(input, re, im);
        benchmark::DoNotOptimize(re.data());
        benchmark::DoNotOptimize(im.data());
    }
}
BENCHMARK(BM_OurTransform);

// FFTW's plan for our exact transform: 4096 complex points whose imaginary parts are 0, all
// 4096 complex outputs. Planned with FFTW_MEASURE, FFTW's own choice of its fastest algorithm.
class FftwComplex {
  public:
    explicit FftwComplex(const std::vector<double>& input)
        : in_(fftw_alloc_complex(kFftSize)), out_(fftw_alloc_complex(kFftSize)) {
        plan_ = fftw_plan_dft_1d(static_cast<int>(kFftSize), in_, out_, FFTW_FORWARD, FFTW_MEASURE);
        for (std::size_t i = 0; i < kFftSize; ++i) {
            in_[i][0] = input[i];
            in_[i][1] = 0.0;
        }
    }
    ~FftwComplex() {
        fftw_destroy_plan(plan_);
        fftw_free(in_);
        fftw_free(out_);
    }
    FftwComplex(const FftwComplex&) = delete;
    FftwComplex& operator=(const FftwComplex&) = delete;

    void run() {
        fftw_execute(plan_);
        benchmark::DoNotOptimize(out_);
    }

  private:
    fftw_complex* in_;
    fftw_complex* out_;
    fftw_plan plan_;
};

void BM_FftwComplex(benchmark::State& state) {
    FftwComplex fftw(randomSignal(kFftSize));
    for (auto _ : state)
        fftw.run();
}
BENCHMARK(BM_FftwComplex);

// For reference only: FFTW's real-input transform, which computes just the 2049 independent
// bins and so does about half the work of the transform above.
void BM_FftwRealInput(benchmark::State& state) {
    double* in = fftw_alloc_real(kFftSize);
    fftw_complex* out = fftw_alloc_complex(kFftSize / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(static_cast<int>(kFftSize), in, out, FFTW_MEASURE);
    const std::vector<double> input = randomSignal(kFftSize);
    std::copy(input.begin(), input.end(), in);
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}
BENCHMARK(BM_FftwRealInput);

// Our transform and FFTW's complex transform timed in alternating batches within one run, on
// this thread's processor time, so that other processes on the machine and changes of load
// affect both alike; reports both times per transform and their ratio.
double threadCpuNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

void BM_TransformRatioToFftw(benchmark::State& state) {
    constexpr int kBatch = 32;
    const std::vector<double> input = randomSignal(kFftSize);
    std::vector<double> re(kFftSize), im(kFftSize);
    FftwComplex fftw(input);
    double ours = 0;
    double theirs = 0;
    for (auto _ : state) {
        const double t0 = threadCpuNanoseconds();
        for (int i = 0; i < kBatch; ++i) {
            ComputeFft(input, re, im);
            benchmark::DoNotOptimize(re.data());
            benchmark::DoNotOptimize(im.data());
        }
        const double t1 = threadCpuNanoseconds();
        for (int i = 0; i < kBatch; ++i)
            fftw.run();
        const double t2 = threadCpuNanoseconds();
        ours += t1 - t0;
        theirs += t2 - t1;
    }
    const double runs = static_cast<double>(state.iterations()) * kBatch;
    state.counters["ours_ns"] = ours / runs;
    state.counters["fftw_ns"] = theirs / runs;
    state.counters["ratio"] = ours / theirs;
}
BENCHMARK(BM_TransformRatioToFftw);

}  // namespace
}  // namespace qm::audio
