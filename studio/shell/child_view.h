#pragma once

#include <QWidget>

class QSplitter;

namespace qm::studio {

// The frame's client area: the splitter "Main_V" with the monitoring views above and the
// control-panel host below. The places are empty holders that the monitoring views (the
// waveform above the spectrum in the two-row splitter "Waveform_V", the peak meter beside them)
// and the panel host put their windows into.
class CChildView : public QWidget {
    Q_OBJECT

  public:
    explicit CChildView(QWidget* parent = nullptr);

    QSplitter* mainSplitter() const { return mainSplitter_; }
    QSplitter* waveformSplitter() const { return waveformSplitter_; }
    QWidget* waveformPlace() const { return waveformPlace_; }
    QWidget* spectrumPlace() const { return spectrumPlace_; }
    QWidget* peakMeterPlace() const { return peakMeterPlace_; }
    QWidget* panelHostPlace() const { return panelHostPlace_; }

    // Share of the height that goes to the waveform, 0 to 1. Set before the view is first
    // shown, it is applied then, once; later the user's dragging decides.
    void setWaveformShare(double share);
    // The share the splitter gives the waveform now (the one set, until it is laid out).
    double waveformShare() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void applyWaveformShare();

    QSplitter* mainSplitter_ = nullptr;
    QSplitter* waveformSplitter_ = nullptr;
    QWidget* waveformPlace_ = nullptr;
    QWidget* spectrumPlace_ = nullptr;
    QWidget* peakMeterPlace_ = nullptr;
    QWidget* panelHostPlace_ = nullptr;
    double waveformShare_ = 0.5;
    bool shown_ = false;
};

}  // namespace qm::studio
