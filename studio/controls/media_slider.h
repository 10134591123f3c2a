#pragma once

#include <QAbstractSlider>
#include <QImage>

namespace qm::studio::controls {

// A slider drawn from images (the "MediaSlider" of the studio's monitoring views and panels): a
// channel image stretched along its length, the part of it below the thumb in a lit image, and
// the thumb. Nothing else is painted, so the window behind shows around them. Vertical by
// default, with the maximum at the top; a horizontal one is the same picture turned a quarter
// clockwise, with the maximum at the right. A press anywhere on the slider moves the thumb there and drags it; the wheel and the
// arrow and page keys step as with any slider. Every position change emits valueChanged.
class MediaSlider : public QAbstractSlider {
    Q_OBJECT

  public:
    struct Images {
        QImage channel;     // stretched to the length of the track
        QImage litChannel;  // the same, drawn below the thumb
        QImage thumb;
    };

    explicit MediaSlider(QWidget* parent = nullptr);

    void setImages(Images images);
    const Images& images() const { return images_; }

    // A narrow groove, lit in `accent`, and a light grey thumb with a grip line.
    static Images defaultImages(const QColor& accent);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // Lengths along and across the track, and a point's position along it (0 at the maximum).
    int alongLength() const;
    int acrossLength() const;
    int trackPositionOf(QPoint point) const;
    // The track's top and bottom rows for the thumb's centre (vertical picture).
    int trackTop() const;
    int trackBottom() const;
    int valueAt(int y) const;
    int thumbCentre() const;

    Images images_;
};

}  // namespace qm::studio::controls
