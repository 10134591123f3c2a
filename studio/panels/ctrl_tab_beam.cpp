#include "studio/panels/ctrl_tab_beam.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>

#include "common/settings/level_labels.h"
#include "studio/controls/image_button.h"
#include "studio/controls/media_slider.h"
#include "studio/controls/panel_images.h"

// The pattern pictures are compiled into this static library; registering them here keeps the
// linker from dropping them.
static void registerBeamImages() {
    Q_INIT_RESOURCE(panels_images);
}

namespace qm::studio::panels {
namespace {

constexpr int kPictureSize = 200;

}  // namespace

CBeamWnd::CBeamWnd(QWidget* parent) : QWidget(parent) {
    static const bool registered = (registerBeamImages(), true);
    static_cast<void>(registered);
    setFixedSize(kPictureSize, kPictureSize);
}

QString CBeamWnd::patternResource(std::uint8_t code) {
    if (code < kBeamPatternCount) {
        return QStringLiteral(":/panels/beam_%1.svg").arg(code);
    }
    return QStringLiteral(":/panels/beam_unknown.svg");
}

void CBeamWnd::setPattern(std::uint8_t code) {
    code_ = code;
    update();
}

void CBeamWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    painter.drawPixmap(rect(), controls::svgPixmap(QStringLiteral(":/panels/beam_background.svg"),
                                                   size(), ratio));
    painter.drawPixmap(rect(), controls::svgPixmap(patternResource(code_), size(), ratio));
}

CCtrlTabBeam::CCtrlTabBeam(PanelLink& link, QWidget* parent)
    : CCtrlTab(link, PanelTab::Direction, parent),
      list_(new QComboBox(body())),
      picture_(new CBeamWnd(body())) {
    const int left = 15;
    caption("Direction beam", left, 10);
    list_->setObjectName(QStringLiteral("id6016"));
    for (int code = 0; code < kBeamPatternCount; ++code) {
        list_->addItem(panelText(kBeamPatternNames[static_cast<std::size_t>(code)]), code);
    }
    list_->setGeometry(left, 32, kPictureSize, 22);
    picture_->move(left, 62);
    connect(list_, &QComboBox::activated, this, [this](int index) {
        if (index < 0) {
            return;
        }
        const SettingCall call = model_.chooseBeam(list_->itemData(index).toInt());
        refresh();
        send({call});
    });

    const int right = 260;
    caption("Direction volume", right, 10);
    volumeSlider_ = slider(6017, Qt::Horizontal, 0, DirectionModel::kVolumeSliderMaximum,
                           QRect(right, 32, 240, 20));
    volumeLabel_ = valueLabel(right + 250, 33);
    auto* normal = pushButton(6021, panelText("Normal, 0 dB"),
                              panelText("Set volume normal, 0 dB") + QLatin1Char('\n') +
                                  panelText("Normal"),
                              right, 58, 100);
    connect(volumeSlider_, &QAbstractSlider::valueChanged, this, [this](int position) {
        const SettingCall call = model_.moveVolume(position);
        refresh();
        send({call}, PanelLink::Sending::Latest);
    });
    connect(normal, &QAbstractButton::clicked, this, [this] {
        const SettingCall call = model_.volumeNormal();
        refresh();
        send({call});
    });

    caption("Direction zoom", right, 110);
    zoomSlider_ = slider(6018, Qt::Horizontal, 0, DirectionModel::kZoomSliderMaximum,
                         QRect(right, 132, 240, 20));
    zoomLabel_ = valueLabel(right + 250, 133);
    connect(zoomSlider_, &QAbstractSlider::valueChanged, this, [this](int position) {
        const SettingCall call = model_.moveZoom(position);
        refresh();
        send({call}, PanelLink::Sending::Latest);
    });
    refresh();
}

void CCtrlTabBeam::read(const PanelReading& reading) {
    model_.show(reading.bytes);
    refresh();
}

void CCtrlTabBeam::collect(settings::DeviceSettings& bytes) const {
    bytes[settings::Setting::Beam] = model_.beam();
    bytes[settings::Setting::DirVolume] = model_.volume();
    bytes[settings::Setting::Zoom] = model_.zoom();
}

void CCtrlTabBeam::refresh() {
    picture_->setPattern(model_.beam());
    setSliderQuietly(volumeSlider_, model_.volumePosition());
    volumeLabel_->setText(QString::fromStdString(
        settings::levelLabel(settings::LevelScale::DirectionVolume, model_.volume())));
    setSliderQuietly(zoomSlider_, model_.zoom());
    zoomLabel_->setText(QString::asprintf("%d", model_.zoom()));
    if (const auto selection = model_.listSelection()) {
        const QSignalBlocker blocker(list_);
        list_->setCurrentIndex(list_->findData(*selection));
    }
}

}  // namespace qm::studio::panels
