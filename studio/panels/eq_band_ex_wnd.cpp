#include "studio/panels/eq_band_ex_wnd.h"

#include <QComboBox>
#include <QPainter>
#include <QSignalBlocker>
#include <algorithm>

#include "studio/controls/dark_style.h"
#include "studio/controls/image_button.h"
#include "studio/controls/media_slider.h"
#include "studio/panels/ctrl_tab.h"

namespace qm::studio::panels {
namespace {

QString idName(int id) {
    return QStringLiteral("id%1").arg(id);
}

QString tip(const char* description, const char* shortName) {
    return panelText(description) + QLatin1Char('\n') + panelText(shortName);
}

constexpr std::array<const char*, 3> kWidthTips = {"Set EQ band width 100 Hz",
                                                   "Set EQ band width 200 Hz",
                                                   "Set EQ band width 300 Hz"};
constexpr std::array<const char*, 3> kWidthShort = {"EQ band width 100 Hz", "EQ band width 200 Hz",
                                                    "EQ band width 300 Hz"};
const QColor kGrid(0x5E, 0x5E, 0x5E);

}  // namespace

CEQBandExWnd::CEQBandExWnd(int band, QWidget* parent)
    : QWidget(parent),
      band_(band),
      slider_(new controls::MediaSlider(this)),
      list_(new QComboBox(this)),
      bandSwitch_(new controls::ImageButton(controls::ImageButton::Kind::Switch, QString(), this)),
      notchSwitch_(
          new controls::ImageButton(controls::ImageButton::Kind::Switch, QString(), this)) {
    setObjectName(idName(6251 + band));
    setFixedSize(kWidth, kHeight);

    slider_->setObjectName(idName(6265));
    slider_->setRange(0, gainMaximum(100));
    slider_->setGeometry(26, 6, 18, 140);
    connect(slider_, &QAbstractSlider::valueChanged, this,
            [this](int position) { emit gainMoved(band_, position); });

    list_->setObjectName(idName(6266));
    for (int index = 0; index < kCentreFrequencyCount; ++index) {
        list_->addItem(QString::number(centreFrequencyAt(index)), centreFrequencyAt(index));
    }
    list_->setGeometry(2, kListRow, kWidth - 4, 20);
    connect(list_, &QComboBox::activated, this,
            [this](int index) { emit frequencyChosen(band_, index); });

    bandSwitch_->setObjectName(idName(6264));
    bandSwitch_->setToolTip(tip("Set EQ band active state", "EQ band On/Off"));
    bandSwitch_->setGeometry(17, kBandRow, 36, 18);
    connect(bandSwitch_, &QAbstractButton::clicked, this, [this] { emit bandToggled(band_); });

    notchSwitch_->setObjectName(idName(6263));
    notchSwitch_->setToolTip(tip("Set EQ notch filter", "EQ notch filter"));
    notchSwitch_->setGeometry(17, kNotchRow, 36, 18);
    connect(notchSwitch_, &QAbstractButton::clicked, this, [this] { emit notchToggled(band_); });

    for (std::size_t i = 0; i < widths_.size(); ++i) {
        auto* button =
            new controls::ImageButton(controls::ImageButton::Kind::Option, QString(), this);
        button->setObjectName(idName(6260 + static_cast<int>(i)));
        button->setToolTip(tip(kWidthTips[i], kWidthShort[i]));
        button->setGeometry(26, kWidthRow + kWidthRowStep * static_cast<int>(i), 18, 18);
        const int width = kBandWidths[i];
        connect(button, &QAbstractButton::clicked, this,
                [this, width] { emit widthChosen(band_, width); });
        widths_[i] = button;
    }
}

void CEQBandExWnd::showStrip(const EqualizerModel::Strip& strip, bool selected) {
    selected_ = selected;
    inactive_ = !strip.bandOn;
    locked_ = strip.locked;
    {
        const QSignalBlocker blocker(slider_);
        slider_->setRange(strip.sliderMinimum, strip.sliderMaximum);
        slider_->setValue(strip.position);
    }
    {
        const QSignalBlocker blocker(list_);
        list_->setCurrentIndex(list_->findData(strip.frequency));
    }
    list_->setEnabled(strip.listEnabled);
    bandSwitch_->setVisible(strip.bandSwitchVisible);
    setChecked(bandSwitch_, strip.bandOn);
    setChecked(notchSwitch_, strip.notchOn);
    slider_->setVisible(strip.controlsVisible);
    notchSwitch_->setVisible(strip.controlsVisible);
    for (std::size_t i = 0; i < widths_.size(); ++i) {
        widths_[i]->setVisible(strip.controlsVisible);
        setChecked(widths_[i], strip.width == kBandWidths[i]);
    }
    update();
}

void CEQBandExWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (inactive_) {
        painter.fillRect(rect(), QColor(0, 0, 0, 60));
    }
    if (selected_) {
        painter.setPen(QPen(controls::darkColors().highlight, 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
    if (locked_) {
        painter.setPen(controls::darkColors().dimText);
        painter.drawText(QRect(0, 40, kWidth, 60), Qt::AlignCenter,
                         panelText("fixed") + QLatin1Char('\n') + QStringLiteral("500 Hz"));
    }
}

void CEQBandExWnd::mousePressEvent(QMouseEvent* event) {
    emit clicked(band_);
    QWidget::mousePressEvent(event);
}

CEQExWnd::CEQExWnd(QWidget* parent) : QWidget(parent) {
    setFixedSize(kWidth, CEQBandExWnd::kHeight + 1);
    for (int band = 0; band < kBandCount; ++band) {
        auto* strip = new CEQBandExWnd(band, this);
        strip->move(CEQBandExWnd::kWidth * band, 0);
        strips_[static_cast<std::size_t>(band)] = strip;
    }
}

void CEQExWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), controls::darkColors().list);
    painter.setPen(kGrid);
    for (int y : {150, 174, 283}) {
        painter.drawLine(0, y, kWidth, y);
    }
    for (int x = 0; x <= kWidth; x += CEQBandExWnd::kWidth) {
        painter.drawLine(std::min(x, kWidth - 1), 0, std::min(x, kWidth - 1), 283);
    }
    painter.setPen(controls::darkColors().dimText);
    for (int column = 0; column < kCentreFrequencyCount; ++column) {
        painter.drawText(QRect(column * CEQBandExWnd::kWidth, 150, CEQBandExWnd::kWidth, 24),
                         Qt::AlignCenter, QString::asprintf("%d", centreFrequencyAt(column)));
    }
}

}  // namespace qm::studio::panels
