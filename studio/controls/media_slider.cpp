#include "studio/controls/media_slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace qm::studio::controls {

MediaSlider::MediaSlider(QWidget* parent) : QAbstractSlider(parent) {
    setOrientation(Qt::Vertical);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_NoSystemBackground);
    setImages(defaultImages(QColor(195, 218, 237)));
}

void MediaSlider::setImages(Images images) {
    images_ = std::move(images);
    update();
}

MediaSlider::Images MediaSlider::defaultImages(const QColor& accent) {
    Images images;
    images.channel = QImage(4, 16, QImage::Format_ARGB32_Premultiplied);
    images.channel.fill(QColor(12, 12, 12));
    images.litChannel = QImage(4, 16, QImage::Format_ARGB32_Premultiplied);
    images.litChannel.fill(accent);
    for (QImage* channel : {&images.channel, &images.litChannel}) {
        QPainter painter(channel);
        painter.fillRect(QRect(0, 0, 1, 16), QColor(0, 0, 0, 90));
    }
    images.thumb = QImage(16, 9, QImage::Format_ARGB32_Premultiplied);
    images.thumb.fill(Qt::transparent);
    QPainter painter(&images.thumb);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QColor(40, 40, 40));
    painter.setBrush(QColor(200, 200, 200));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 8), 2, 2);
    painter.setPen(QColor(90, 90, 90));
    painter.drawLine(QPointF(3, 4.5), QPointF(13, 4.5));
    return images;
}

QSize MediaSlider::sizeHint() const {
    return orientation() == Qt::Vertical ? QSize(18, 212) : QSize(212, 18);
}

int MediaSlider::alongLength() const {
    return orientation() == Qt::Vertical ? height() : width();
}

int MediaSlider::acrossLength() const {
    return orientation() == Qt::Vertical ? width() : height();
}

int MediaSlider::trackPositionOf(QPoint point) const {
    return orientation() == Qt::Vertical ? point.y() : width() - 1 - point.x();
}

int MediaSlider::trackTop() const {
    return images_.thumb.height() / 2;
}

int MediaSlider::trackBottom() const {
    return std::max(trackTop(), alongLength() - 1 - (images_.thumb.height() - 1) / 2);
}

int MediaSlider::thumbCentre() const {
    const int span = maximum() - minimum();
    const int length = trackBottom() - trackTop();
    if (span <= 0) {
        return trackBottom();
    }
    return trackBottom() -
           static_cast<int>(static_cast<long long>(value() - minimum()) * length / span);
}

int MediaSlider::valueAt(int y) const {
    const int length = trackBottom() - trackTop();
    if (length <= 0) {
        return minimum();
    }
    const int clamped = std::clamp(y, trackTop(), trackBottom());
    const long long span = static_cast<long long>(maximum()) - minimum();
    return minimum() +
           static_cast<int>((static_cast<long long>(trackBottom() - clamped) * span + length / 2) /
                            length);
}

void MediaSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    if (hasFocus()) {
        painter.setPen(QColor(110, 110, 110));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (orientation() == Qt::Horizontal) {
        // Drawn as the vertical slider turned a quarter clockwise: its top, the maximum, right.
        painter.translate(width(), 0);
        painter.rotate(90);
    }
    const int channelWidth = images_.channel.width();
    const int x = (acrossLength() - channelWidth) / 2;
    const int centre = thumbCentre();
    painter.drawImage(QRect(x, trackTop(), channelWidth, centre - trackTop()), images_.channel);
    painter.drawImage(QRect(x, centre, channelWidth, trackBottom() - centre + 1),
                      images_.litChannel);
    const QImage& thumb = images_.thumb;
    painter.drawImage(QPoint((acrossLength() - thumb.width()) / 2, centre - thumb.height() / 2),
                      thumb);
}

void MediaSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractSlider::mousePressEvent(event);
        return;
    }
    setSliderDown(true);
    setSliderPosition(valueAt(trackPositionOf(event->position().toPoint())));
    event->accept();
}

void MediaSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!isSliderDown()) {
        event->ignore();
        return;
    }
    setSliderPosition(valueAt(trackPositionOf(event->position().toPoint())));
    event->accept();
}

void MediaSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isSliderDown()) {
        setSliderDown(false);
        event->accept();
        return;
    }
    QAbstractSlider::mouseReleaseEvent(event);
}

}  // namespace qm::studio::controls
