#include "studio/audio/views/monitoring_views.h"

#include <QLayout>
#include <QWidget>

#include "studio/audio/views/view_style.h"
#include "studio/shell/child_view.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/studio_settings.h"

namespace qm::audio::views {
namespace {

int asInt(std::uint32_t value) {
    return static_cast<int>(value);
}

}  // namespace

AnalysisSettings analysisSettingsOf(const studio::StudioSettings& settings) {
    AnalysisSettings analysis;
    analysis.WindowFunc = asInt(settings.windowFunc);
    analysis.SpectrumView = asInt(settings.spectrumView);
    analysis.WaveScale = asInt(settings.waveScale);
    analysis.Test = asInt(settings.test);
    return analysis;
}

SettingMarks spectrumMarksOf(const studio::panels::FilterMarks& marks) {
    static constexpr const char* kBandCaptions[] = {"EQ1", "EQ2", "EQ3", "EQ4", "EQ5"};
    SettingMarks spectrum;
    const auto addCutOff = [&spectrum](int bit, double hz, const char* caption) {
        if (hz > 0) {
            spectrum.add({bit, hz, 0.0, caption});
        }
    };
    addCutOff(1, marks.lpfHz, "LPF");
    addCutOff(2, marks.hpf1Hz, "HPF1");
    addCutOff(4, marks.hpf2Hz, "HPF2");
    for (const studio::panels::EqualizerMark& band : marks.bands) {
        if (band.band >= 1 && band.band <= 5) {
            spectrum.add({8, static_cast<double>(band.frequencyHz),
                          static_cast<double>(band.widthHz), kBandCaptions[band.band - 1]});
        }
    }
    return spectrum;
}

template <typename Window>
Window* MonitoringViews::place(QWidget* where, Window*& slot, Window* window) {
    if (where->layout() != nullptr) {
        where->layout()->addWidget(window);
    }
    slot = window;
    connect(window, &QObject::destroyed, this, [&slot] { slot = nullptr; });
    return window;
}

MonitoringViews::MonitoringViews(AudioAnalysis& analysis, PeakLevels& peaks, Clock& clock,
                                 CpuTimesSource& cpuTimes)
    : analysis_(analysis), peaks_(peaks), clock_(clock), cpuTimes_(cpuTimes) {}

void MonitoringViews::attach(studio::CMainFrame& frame, const studio::StudioSettings& settings) {
    studio::CChildView* view = frame.childView();
    attach({view->waveformPlace(), view->spectrumPlace(), view->peakMeterPlace(),
            frame.displayPlace()},
           settings);
}

void MonitoringViews::attach(const MonitoringPlaces& places,
                             const studio::StudioSettings& settings) {
    settings_ = &settings;
    const AnalysisState& state = analysis_.state();
    place(places.waveform, waveform_, new CWaveformWnd(state, places.waveform));
    place(places.spectrum, spectrum_, new CSpectrumWnd(state, places.spectrum));
    place(places.display, display_,
          new CDispalyWnd(clock_, cpuTimes_, asInt(settings.graphCpu), studio::ids::kDisplayControl,
                          places.display));
    CPPMDrawWnd* meter =
        place(places.peakMeter, peakMeter_, new CPPMDrawWnd(peaks_, places.peakMeter));
    meter->setInputVolume(settings.volumeInput);
    meter->setOutputVolume(settings.volumeOutput);
    connect(meter, &CPPMDrawWnd::inputVolumeMoved, this, &MonitoringViews::inputVolumeMoved);
    connect(meter, &CPPMDrawWnd::outputVolumeMoved, this, &MonitoringViews::outputVolumeMoved);
    apply(settings);
}

void MonitoringViews::start() {
    analysis_.start();
}

void MonitoringViews::stop() {
    analysis_.stop();
}

void MonitoringViews::viewSettingsChanged() {
    if (settings_ != nullptr) {
        apply(*settings_);
    }
}

void MonitoringViews::showOutputPosition(int position) {
    if (CPPMDrawWnd* meter = peakMeter_) {
        meter->setOutputPosition(position);
    }
}

void MonitoringViews::showFilterMarks(const studio::panels::FilterMarks& marks) {
    if (CSpectrumWnd* spectrum = spectrum_) {
        spectrum->drawWnd()->setSettingMarks(spectrumMarksOf(marks));
    }
}

void MonitoringViews::apply(const studio::StudioSettings& settings) {
    analysis_.settings().store(analysisSettingsOf(settings));
    if (CWaveformWnd* waveform = waveform_) {
        CWaveDrawWnd* draw = waveform->drawWnd();
        draw->setLook({asInt(settings.waveMode), asInt(settings.waveScale)});
        draw->setColor(colorFromColorRef(settings.colorWaveform));
    }
    if (CSpectrumWnd* spectrum = spectrum_) {
        CSpectrumDrawWnd* draw = spectrum->drawWnd();
        draw->setLook({asInt(settings.spectrumMode), asInt(settings.spectrumLabel),
                       asInt(settings.spectrumBound)});
        draw->setColors({colorFromColorRef(settings.colorSpectrum), asInt(settings.spectrumFill),
                         colorFromColorRef(settings.colorSpectrumLpf),
                         colorFromColorRef(settings.colorSpectrumHpf1),
                         colorFromColorRef(settings.colorSpectrumHpf2),
                         colorFromColorRef(settings.colorSpectrumEq)});
    }
    if (CPPMDrawWnd* meter = peakMeter_) {
        meter->setColors({colorFromColorRef(settings.colorPeakNorm),
                          colorFromColorRef(settings.colorPeakMid),
                          colorFromColorRef(settings.colorPeakMax)});
    }
}

}  // namespace qm::audio::views
