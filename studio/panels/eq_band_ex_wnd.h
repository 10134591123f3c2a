#pragma once

#include <QWidget>
#include <array>

#include "studio/panels/equalizer_model.h"

class QComboBox;

namespace qm::studio::controls {
class ImageButton;
class MediaSlider;
}  // namespace qm::studio::controls

namespace qm::studio::panels {

// One band strip of the equaliser (70 x 283 px): the gain slider, the list of centre
// frequencies, the band and notch switches and the three width buttons. It shows a strip state
// of the model and reports what the user does; drawn selected (the band last clicked), inactive
// (band off) or locked.
class CEQBandExWnd : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kWidth = 70;
    static constexpr int kHeight = 283;
    // The rows of the strip, for the captions beside the strips.
    static constexpr int kListRow = 152;
    static constexpr int kBandRow = 180;
    static constexpr int kNotchRow = 204;
    static constexpr int kWidthRow = 228;
    static constexpr int kWidthRowStep = 18;

    CEQBandExWnd(int band, QWidget* parent = nullptr);

    int band() const { return band_; }
    void showStrip(const EqualizerModel::Strip& strip, bool selected);

  signals:
    void widthChosen(int band, int widthHz);
    void frequencyChosen(int band, int listIndex);
    void notchToggled(int band);
    void bandToggled(int band);
    void gainMoved(int band, int position);
    void clicked(int band);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    int band_;
    controls::MediaSlider* slider_;
    QComboBox* list_;
    controls::ImageButton* bandSwitch_;
    controls::ImageButton* notchSwitch_;
    std::array<controls::ImageButton*, 3> widths_{};
    bool selected_ = false;
    bool inactive_ = true;
    bool locked_ = false;
};

// The strips' window: the background grid (630 px wide: lines at 150, 174 and 283 px and every
// 70 px, the nine centre frequencies one per column) with the five strips side by side.
class CEQExWnd : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kWidth = 630;

    explicit CEQExWnd(QWidget* parent = nullptr);
    CEQBandExWnd* strip(int band) const { return strips_[static_cast<std::size_t>(band)]; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::array<CEQBandExWnd*, kBandCount> strips_{};
};

}  // namespace qm::studio::panels
