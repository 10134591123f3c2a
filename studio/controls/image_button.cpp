#include "studio/controls/image_button.h"

#include <QEnterEvent>
#include <QPainter>

#include "studio/controls/dark_style.h"
#include "studio/controls/panel_images.h"

namespace qm::studio::controls {
namespace {

constexpr int kIndicatorSize = 18;
constexpr int kCaptionGap = 6;
constexpr int kPushPadding = 10;

const char* imageOf(ImageButton::Kind kind, bool checked) {
    switch (kind) {
        case ImageButton::Kind::Switch:
            return checked ? "switch_on" : "switch_off";
        case ImageButton::Kind::Option:
            return checked ? "option_on" : "option_off";
        case ImageButton::Kind::Push:
            return checked ? "push_down" : "push";
    }
    return "push";
}

}  // namespace

ImageButton::ImageButton(Kind kind, const QString& caption, QWidget* parent)
    : QAbstractButton(parent), kind_(kind) {
    setText(caption);
    setCheckable(kind != Kind::Push);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
}

void ImageButton::setCaptionBelow(bool below) {
    captionBelow_ = below;
    updateGeometry();
    update();
}

QSize ImageButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const int textWidth = text().isEmpty() ? 0 : metrics.horizontalAdvance(text());
    if (kind_ == Kind::Push) {
        return {std::max(textWidth + 2 * kPushPadding, 60), 24};
    }
    const int indicatorWidth = kind_ == Kind::Switch ? 2 * kIndicatorSize : kIndicatorSize;
    if (captionBelow_) {
        return {std::max(indicatorWidth, textWidth), kIndicatorSize + 2 + metrics.height()};
    }
    return {indicatorWidth + (textWidth > 0 ? kCaptionGap + textWidth : 0),
            std::max(kIndicatorSize, metrics.height())};
}

QRect ImageButton::imageRect() const {
    if (kind_ == Kind::Push) {
        return rect();
    }
    const int indicatorWidth = kind_ == Kind::Switch ? 2 * kIndicatorSize : kIndicatorSize;
    if (captionBelow_) {
        return {(width() - indicatorWidth) / 2, 0, indicatorWidth, kIndicatorSize};
    }
    return {0, (height() - kIndicatorSize) / 2, indicatorWidth, kIndicatorSize};
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (!isEnabled()) {
        painter.setOpacity(0.35);
    }
    const QRect image = imageRect();
    painter.drawPixmap(image, panelImage(QString::fromLatin1(imageOf(kind_, isChecked() || isDown())),
                                         image.size(), devicePixelRatioF()));
    const bool lit = isEnabled() && (hovered_ || isDown());
    if (lit && kind_ == Kind::Push) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(isDown() ? QColor(0, 0, 0, 50) : QColor(255, 255, 255, 28));
        painter.drawRoundedRect(QRectF(image).adjusted(1, 1, -1, -1), 3, 3);
    }
    if (text().isEmpty()) {
        return;
    }
    painter.setPen(lit ? QColor(Qt::white) : darkColors().text);
    if (kind_ == Kind::Push) {
        painter.drawText(rect(), Qt::AlignCenter, text());
        return;
    }
    if (captionBelow_) {
        painter.drawText(QRect(0, image.bottom() + 2, width(), height() - image.height() - 2),
                         Qt::AlignHCenter | Qt::AlignTop, text());
        return;
    }
    const QRect caption(image.right() + 1 + kCaptionGap, 0, width() - image.width() - kCaptionGap,
                        height());
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, text());
}

void ImageButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

}  // namespace qm::studio::controls
