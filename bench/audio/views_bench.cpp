// The cost of one frame of each monitoring view, as its window draws it: the data copied under
// the analysis lock, the cached scale put down and the moving parts drawn, into an image the
// size of a typical window. The first frame of each run draws the scale into the cache; the
// figure is the average over the frames after it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

#include "common/runtime/clock.h"
#include "studio/audio/analysis_engine.h"
#include "studio/audio/analysis_state.h"
#include "studio/audio/cpu_times.h"
#include "studio/audio/peak_levels.h"
#include "studio/audio/power_views.h"
#include "studio/audio/views/display_wnd.h"
#include "studio/audio/views/ppm_draw_wnd.h"
#include "studio/audio/views/spectrum_draw_wnd.h"
#include "studio/audio/views/spectrum_painter.h"
#include "studio/audio/views/status_graph_ctrl.h"
#include "studio/audio/views/view_style.h"
#include "studio/audio/views/wave_draw_wnd.h"

namespace qm::audio::views {
namespace {

// A noisy tone through the analysis until the waveform history is full.
void fillState(AnalysisState& state, int waveScale) {
    AnalysisEngine engine;
    AnalysisSettings settings;
    settings.SpectrumView = kViewRealTime;
    settings.WaveScale = waveScale;
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> noise(-0.1F, 0.1F);
    const std::size_t blocks = kWaveformColumns / (kBlockSize / waveScale) + 1;
    for (std::size_t k = 0; k < std::max<std::size_t>(blocks, kSampleHistoryBlocks); ++k) {
        std::array<float, kBlockSize> block{};
        for (std::size_t i = 0; i < kBlockSize; ++i) {
            const double t = static_cast<double>(k * kBlockSize + i) / kSampleRate;
            block[i] =
                static_cast<float>(0.4 * std::sin(2 * std::numbers::pi * 440.0 * t)) + noise(rng);
        }
        state.submitBlock(block);
        engine.step(state, settings);
    }
}

void renderFrames(benchmark::State& run, QWidget& window) {
    QImage target(window.size(), QImage::Format_RGB32);
    window.render(&target);  // the scale into its cache
    for (auto _ : run) {
        window.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_SpectrumFrame(benchmark::State& run) {
    AnalysisState state;
    fillState(state, 480);
    CSpectrumDrawWnd window(state);
    window.setColors({colorFromColorRef(0xEDDAC3), 8, colorFromColorRef(0x00FFFF),
                      colorFromColorRef(0xFF00FF), colorFromColorRef(0xFFFF00),
                      colorFromColorRef(0x0080FF)});
    window.setLook({static_cast<int>(run.range(0)), 15, 200});
    window.resize(1000, 320);
    renderFrames(run, window);
}
BENCHMARK(BM_SpectrumFrame)->ArgName("mode")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_SpectrumWhole(benchmark::State& run) {
    AnalysisState state;
    fillState(state, 480);
    std::vector<double> spectrum(kFftSize);
    state.readSpectrum([&](std::span<const double, kFftSize> s) {
        std::copy(s.begin(), s.end(), spectrum.begin());
    });
    QImage target(1000, 320, QImage::Format_RGB32);
    SpectrumCurveBuffers buffers;
    const SpectrumColors colors{
        colorFromColorRef(0xEDDAC3), 8, Qt::yellow, Qt::magenta, Qt::cyan, Qt::blue};
    for (auto _ : run) {
        QPainter painter(&target);
        drawSpectrum(painter, target.size(),
                     std::span<const double, kFftSize>(spectrum.data(), kFftSize), {1, 15, 200},
                     colors, buffers);
    }
}
BENCHMARK(BM_SpectrumWhole)->Unit(benchmark::kMicrosecond);

void BM_WaveformFrame(benchmark::State& run) {
    AnalysisState state;
    const int scale = static_cast<int>(run.range(0));
    fillState(state, scale);
    CWaveDrawWnd window(state);
    window.setLook({static_cast<int>(run.range(1)), scale});
    window.resize(1000, 320);
    renderFrames(run, window);
}
BENCHMARK(BM_WaveformFrame)
    ->ArgNames({"scale", "linear"})
    ->Args({480, 0})
    ->Args({24, 0})
    ->Args({1, 0})
    ->Args({480, 1})
    ->Unit(benchmark::kMicrosecond);

class LoudPeaks final : public PeakLevels {
  public:
    float inputPeak() override { return 0.7F; }
    float outputPeak() override { return 0.4F; }
};

void BM_PeakMeterFrame(benchmark::State& run) {
    LoudPeaks peaks;
    CPPMDrawWnd window(peaks);
    window.resize(60, 560);
    QImage target(window.size(), QImage::Format_RGB32);
    window.render(&target);
    for (auto _ : run) {
        window.showPeaks();
        // One frame repaints the meters' strip, as showPeaks asks.
        window.render(&target, QPoint(4, 0), QRegion(4, 0, 56, 252));
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_PeakMeterFrame)->Unit(benchmark::kMicrosecond);

void BM_ClockAndCpuGraphFrame(benchmark::State& run) {
    ProcCpuTimes times;
    CDispalyWnd display(Clock::real(), times, static_cast<int>(run.range(0)), 5090);
    for (int i = 0; i < 50; ++i) {
        display.graph()->sample();  // a full history
    }
    renderFrames(run, display);
}
BENCHMARK(BM_ClockAndCpuGraphFrame)
    ->ArgName("lines")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

void BM_CpuSample(benchmark::State& run) {
    ProcCpuTimes times;
    CStatusGraphCtrl graph(times, Clock::real(), 5090);
    graph.resize(150, 25);
    for (auto _ : run) {
        graph.sample();
    }
}
BENCHMARK(BM_CpuSample)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm::audio::views

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
