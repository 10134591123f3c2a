#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <random>
#include <vector>

#include "studio/audio/fft.h"

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

void BM_OurFft(benchmark::State& state) {
    const std::vector<double> input = randomSignal(kFftSize);
    std::vector<double> re(kFftSize), im(kFftSize);
    for (auto _ : state) {
        ComputeFft(input, re, im);
        benchmark::DoNotOptimize(re.data());
        benchmark::DoNotOptimize(im.data());
    }
}
BENCHMARK(BM_OurFft);

void BM_FftwComplex(benchmark::State& state) {
    const std::vector<double> input = randomSignal(kFftSize);
    fftw_complex* in = fftw_alloc_complex(kFftSize);
    fftw_complex* out = fftw_alloc_complex(kFftSize);
    fftw_plan plan = fftw_plan_dft_1d(kFftSize, in, out, FFTW_FORWARD, FFTW_MEASURE);
    for (std::size_t i = 0; i < kFftSize; ++i) {
        in[i][0] = input[i];
        in[i][1] = 0.0;
    }
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}
BENCHMARK(BM_FftwComplex);

}  // namespace
}  // namespace qm::audio
