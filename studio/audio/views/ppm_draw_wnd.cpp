#include "studio/audio/views/ppm_draw_wnd.h"

#include <QResizeEvent>
#include <algorithm>
#include <cmath>

#include "studio/audio/views/monitor_images.h"
#include "studio/audio/views/view_style.h"
#include "studio/controls/media_slider.h"

namespace qm::audio::views {
namespace {

constexpr int kSliderWidth = 18;
constexpr int kSliderHeight = 212;
constexpr int kSliderTopFromBottom = 220;
constexpr int kInputSliderX = 2;
constexpr int kOutputSliderX = 37;
constexpr int kMetersWidth = 56;  // the input meter's left end stands 55 pixels from the right

int positionOf(float volume) {
    if (!std::isfinite(volume)) {
        return 0;
    }
    return std::clamp(static_cast<int>(volume * CPPMDrawWnd::kSliderMaximum), 0,
                      CPPMDrawWnd::kSliderMaximum);
}

}  // namespace

CPPMDrawWnd::CPPMDrawWnd(PeakLevels& peaks, QWidget* parent)
    : PlotWindow(kFramePeriod, parent),
      peaks_(peaks),
      colors_{colorFromColorRef(0xEDDAC3), colorFromColorRef(0x00FFFF),
              colorFromColorRef(0x0000FF)},
      icons_(meterIcons()),
      input_(new studio::controls::MediaSlider(this)),
      output_(new studio::controls::MediaSlider(this)),
      holds_(new RepaintTimer(this, kHoldFallPeriod, [this] { fallBack(); })) {
    setObjectName(QStringLiteral("CPPMDrawWnd"));
    input_->setObjectName(QStringLiteral("inputVolumeSlider"));
    output_->setObjectName(QStringLiteral("outputVolumeSlider"));
    for (studio::controls::MediaSlider* slider : {input_, output_}) {
        slider->setRange(0, kSliderMaximum);
        slider->setSingleStep(10);
        slider->setPageStep(100);
    }
    connect(input_, &QAbstractSlider::valueChanged, this, [this](int position) {
        if (!settingPosition_) {
            emit inputVolumeMoved(position);
        }
    });
    connect(output_, &QAbstractSlider::valueChanged, this, [this](int position) {
        if (!settingPosition_) {
            emit outputVolumeMoved(position);
        }
    });
}

void CPPMDrawWnd::setColors(const PeakMeterColors& colors) {
    colors_ = colors;
    Restart();
}

void CPPMDrawWnd::setPosition(studio::controls::MediaSlider* slider, int position) {
    settingPosition_ = true;
    slider->setValue(std::clamp(position, 0, kSliderMaximum));
    settingPosition_ = false;
}

void CPPMDrawWnd::setInputVolume(float volume) {
    setPosition(input_, positionOf(volume));
}

void CPPMDrawWnd::setOutputVolume(float volume) {
    setPosition(output_, positionOf(volume));
}

void CPPMDrawWnd::setOutputPosition(int position) {
    setPosition(output_, position);
}

void CPPMDrawWnd::showPeaks() {
    levels_.show(peaks_.inputPeak(), peaks_.outputPeak());
    // Only the meters change: the strip at the right edge above the sliders.
    const PeakMeterGeometry geometry(size());
    const int meterLeft = std::max(width() - kMetersWidth, 0);
    update(QRect(meterLeft, 0, width() - meterLeft, static_cast<int>(geometry.y0) + 2));
}

void CPPMDrawWnd::fallBack() {
    levels_.fall();
}

void CPPMDrawWnd::resizeEvent(QResizeEvent* event) {
    PlotWindow::resizeEvent(event);
    const int top = height() - kSliderTopFromBottom;
    input_->setGeometry(kInputSliderX, top, kSliderWidth, kSliderHeight);
    output_->setGeometry(kOutputSliderX, top, kSliderWidth, kSliderHeight);
}

void CPPMDrawWnd::drawScale(QPainter& painter) {
    drawPeakMeterScale(painter, size(), icons_);
}

void CPPMDrawWnd::drawMovingPart(QPainter& painter) {
    drawPeakMeterLevels(painter, size(), levels_, colors_, buffers_);
}

}  // namespace qm::audio::views
