#pragma once

#include <QObject>

#include "common/runtime/clock.h"
#include "studio/audio/analysis_settings.h"
#include "studio/audio/audio_analysis.h"
#include "studio/audio/cpu_times.h"
#include "studio/audio/peak_levels.h"
#include "studio/audio/views/display_wnd.h"
#include "studio/audio/views/ppm_draw_wnd.h"
#include "studio/audio/views/spectrum_draw_wnd.h"
#include "studio/audio/views/wave_draw_wnd.h"
#include "studio/panels/filter_marks.h"
#include "studio/shell/studio_hooks.h"

class QWidget;

namespace qm::studio {
class CMainFrame;
struct StudioSettings;
}  // namespace qm::studio

namespace qm::audio::views {

// The places of the main frame that the views fill.
struct MonitoringPlaces {
    QWidget* waveform = nullptr;   // upper row of the waveform container
    QWidget* spectrum = nullptr;   // lower row
    QWidget* peakMeter = nullptr;  // beside them
    QWidget* display = nullptr;    // the 165 x 65 control of the ribbon's "Display" group
};

// What the analysis runs with, from the studio's settings.
AnalysisSettings analysisSettingsOf(const studio::StudioSettings& settings);

// The spectrum's marks of the panels' filter and equaliser settings, each in the row of its
// "Draw markers" bit.
SettingMarks spectrumMarksOf(const studio::panels::FilterMarks& marks);

// The studio's monitoring views and the analysis they show: the waveform and spectrum windows,
// the peak meter with the volume sliders, and the clock with the CPU graph. The analysis thread
// starts after the main frame has been made and stops at exit; every change of a view setting
// reaches the analysis and the windows at once.
class MonitoringViews final : public QObject, public studio::AnalysisHooks {
    Q_OBJECT

  public:
    MonitoringViews(AudioAnalysis& analysis, PeakLevels& peaks, Clock& clock,
                    CpuTimesSource& cpuTimes);

    // Makes each view in its place (the place owns it) and shows `settings`, which this object
    // reads again at every viewSettingsChanged(); the sliders stand at the stored volumes.
    void attach(const MonitoringPlaces& places, const studio::StudioSettings& settings);
    void attach(studio::CMainFrame& frame, const studio::StudioSettings& settings);

    void start() override;
    void stop() override;
    void viewSettingsChanged() override;

    // The output volume slider at a position 0 .. 1000 (the preview volume changed outside the
    // studio). No outputVolumeMoved follows.
    void showOutputPosition(int position);

    // The filter cut-offs and equaliser bands the selected microphone's control panels show,
    // marked on the spectrum (none while no panel is shown).
    void showFilterMarks(const studio::panels::FilterMarks& marks);

    AudioAnalysis& analysis() { return analysis_; }
    CWaveformWnd* waveform() const { return waveform_; }
    CSpectrumWnd* spectrum() const { return spectrum_; }
    CPPMDrawWnd* peakMeter() const { return peakMeter_; }
    CDispalyWnd* display() const { return display_; }

  signals:
    // The user moved a volume slider to a position 0 .. 1000.
    void inputVolumeMoved(int position);
    void outputVolumeMoved(int position);

  private:
    template <typename Window>
    Window* place(QWidget* where, Window*& slot, Window* window);
    void apply(const studio::StudioSettings& settings);

    AudioAnalysis& analysis_;
    PeakLevels& peaks_;
    Clock& clock_;
    CpuTimesSource& cpuTimes_;
    const studio::StudioSettings* settings_ = nullptr;
    // The places own the windows; each pointer is cleared when its window goes with the frame.
    CWaveformWnd* waveform_ = nullptr;
    CSpectrumWnd* spectrum_ = nullptr;
    CPPMDrawWnd* peakMeter_ = nullptr;
    CDispalyWnd* display_ = nullptr;
};

}  // namespace qm::audio::views
