#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace qm::studio::controls {

// A button drawn from two images, one for each check state, with an optional caption: beside
// the image (switches and option buttons) or over it (push buttons, whose image is stretched to
// the button). Hovered it is drawn lighter, pressed darker, disabled dimmed. Its check state is
// the program's to set: a click only emits clicked(), so a panel decides what the click means
// and shows the outcome.
class ImageButton : public QAbstractButton {
    Q_OBJECT

  public:
    enum class Kind {
        Switch,  // an on/off switch, caption at the right
        Option,  // one of a group of choices, caption at the right
        Push,    // a command, caption over the image
    };

    ImageButton(Kind kind, const QString& caption, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }
    // The caption under the image, centred, instead of at its right (switches and options).
    void setCaptionBelow(bool below);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override {}
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    QRect imageRect() const;

    Kind kind_;
    bool captionBelow_ = false;
    bool hovered_ = false;
};

}  // namespace qm::studio::controls
