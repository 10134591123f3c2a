#include "studio/controls/ribbon_group.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "studio/controls/ribbon_bar.h"

namespace qm::studio::controls {
namespace {

constexpr int kRows = 3;

// Buttons and check boxes whose check mark is set by the update pass alone, never by the click.
class RibbonButton final : public QToolButton {
  public:
    using QToolButton::QToolButton;

  protected:
    void nextCheckState() override {}
};

class RibbonCheckBox final : public QCheckBox {
  public:
    using QCheckBox::QCheckBox;

  protected:
    void nextCheckState() override {}
};

}  // namespace

RibbonGroup::RibbonGroup(RibbonBar& bar, int id, const QString& caption, QWidget* parent)
    : QFrame(parent), bar_(bar), id_(id) {
    setObjectName(QStringLiteral("ribbonGroup%1").arg(id));
    setFrameShape(QFrame::NoFrame);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 2, 4, 0);
    outer->setSpacing(0);
    grid_ = new QGridLayout();
    grid_->setHorizontalSpacing(4);
    grid_->setVerticalSpacing(1);
    outer->addLayout(grid_, 1);
    captionLabel_ = new QLabel(caption, this);
    captionLabel_->setObjectName(QStringLiteral("ribbonGroupCaption"));
    captionLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    outer->addWidget(captionLabel_);
}

QString RibbonGroup::caption() const {
    return captionLabel_->text();
}

void RibbonGroup::place(QWidget* widget, Size size) {
    if (size == Size::Large) {
        if (row_ != 0) {
            ++column_;
            row_ = 0;
        }
        grid_->addWidget(widget, 0, column_, kRows, 1, Qt::AlignTop);
        ++column_;
        return;
    }
    grid_->addWidget(widget, row_, column_, Qt::AlignLeft | Qt::AlignVCenter);
    if (++row_ == kRows) {
        row_ = 0;
        ++column_;
    }
}

QToolButton* RibbonGroup::addButton(int id, const QString& caption, const Prompt& prompt, Size size,
                                    const QIcon& icon) {
    auto* button = new RibbonButton(this);
    button->setObjectName(QStringLiteral("command%1").arg(id));
    button->setText(caption);
    button->setToolTip(promptToolTip(prompt));
    button->setStatusTip(prompt.description);
    button->setCheckable(true);
    button->setAutoRaise(true);
    if (!icon.isNull()) {
        button->setIcon(icon);
        button->setIconSize(size == Size::Large ? QSize(32, 32) : QSize(16, 16));
        button->setToolButtonStyle(size == Size::Large ? Qt::ToolButtonTextUnderIcon
                                                       : Qt::ToolButtonTextBesideIcon);
    } else {
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    if (size == Size::Large) {
        button->setMinimumSize(48, 64);
    }
    QObject::connect(button, &QToolButton::clicked, this, [this, id] { bar_.triggerCommand(id); });
    bar_.registerControl(id, button);
    place(button, size);
    return button;
}

QCheckBox* RibbonGroup::addCheckBox(int id, const QString& caption, const Prompt& prompt) {
    auto* box = new RibbonCheckBox(caption, this);
    box->setObjectName(QStringLiteral("command%1").arg(id));
    box->setToolTip(promptToolTip(prompt));
    QObject::connect(box, &QCheckBox::clicked, this, [this, id] { bar_.triggerCommand(id); });
    bar_.registerControl(id, box);
    place(box, Size::Small);
    return box;
}

QComboBox* RibbonGroup::addComboBox(int id, int width, const Prompt& prompt) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("command%1").arg(id));
    combo->setFixedWidth(width);
    combo->setToolTip(promptToolTip(prompt));
    QObject::connect(combo, &QComboBox::activated, this, [this, id, combo](int index) {
        bar_.emitComboSelected(id, index, combo->itemData(index).toInt());
    });
    bar_.registerControl(id, combo);
    place(combo, Size::Small);
    return combo;
}

QLabel* RibbonGroup::addLabel(int id, const QString& caption) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("command%1").arg(id));
    bar_.registerControl(id, label);
    place(label, Size::Small);
    return label;
}

void RibbonGroup::addCustomControl(int id, QWidget* widget, QSize size) {
    widget->setParent(this);
    widget->setObjectName(QStringLiteral("command%1").arg(id));
    widget->setFixedSize(size);
    bar_.registerControl(id, widget);
    place(widget, Size::Large);
}

}  // namespace qm::studio::controls
