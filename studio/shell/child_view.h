#pragma once

#include <QWidget>

class QSplitter;

namespace qm::studio {

// The frame's client area: the splitter "Main_V" with the monitoring views above and the
// control-panel host below. The places are empty holders that the monitoring views (waveform
// and spectrum, side by side in the splitter "Waveform_V", and the peak meter) and the panel
// host put their windows into.
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

    // Share of the waveform beside the spectrum, 0 to 1.
    void setWaveformShare(double share);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
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
