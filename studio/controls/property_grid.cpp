#include "studio/controls/property_grid.h"

#include <QColorDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace qm::studio::controls {
namespace {

constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kSwatchSize = 14;

QColor fromColorRef(std::uint32_t color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

std::uint32_t toColorRef(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

}  // namespace

PropertyGrid::PropertyGrid(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("propertyGridItems"));
    tree_->setColumnCount(2);
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tree_->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    tree_->header()->resizeSection(1, 140);
    tree_->header()->setStretchLastSection(false);
    column->addWidget(tree_, 1);
    help_ = new QLabel(this);
    help_->setObjectName(QStringLiteral("propertyGridHelp"));
    help_->setTextFormat(Qt::RichText);
    help_->setWordWrap(true);
    help_->setMinimumHeight(48);
    help_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(help_);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { showHelp(); });
}

void PropertyGrid::addCategory(const QString& caption) {
    category_ = new QTreeWidgetItem(tree_, QStringList{caption});
    QFont bold = category_->font(0);
    bold.setBold(true);
    category_->setFont(0, bold);
    category_->setFirstColumnSpanned(true);
    category_->setFlags(Qt::ItemIsEnabled);
}

void PropertyGrid::addColorItem(int id, const QString& caption, std::uint32_t color) {
    Item& item = items_[id];
    item.row = category_ != nullptr ? new QTreeWidgetItem(category_, QStringList{caption})
                                    : new QTreeWidgetItem(tree_, QStringList{caption});
    item.row->setData(0, kIdRole, id);
    item.isColor = true;
    item.color = color & 0xFFFFFF;
    auto* button = new QToolButton(tree_);
    button->setObjectName(QStringLiteral("propertyColor%1").arg(id));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, [this, id] { chooseColor(id); });
    tree_->setItemWidget(item.row, 1, button);
    showColor(item);
}

void PropertyGrid::addNumberItem(int id, const QString& caption, int value, int minimum,
                                 int maximum) {
    Item& item = items_[id];
    item.row = category_ != nullptr ? new QTreeWidgetItem(category_, QStringList{caption})
                                    : new QTreeWidgetItem(tree_, QStringList{caption});
    item.row->setData(0, kIdRole, id);
    item.isColor = false;
    item.minimum = minimum;
    item.maximum = maximum;
    item.number = std::clamp(value, minimum, maximum);
    auto* spin = new QSpinBox(tree_);
    spin->setObjectName(QStringLiteral("propertyNumber%1").arg(id));
    spin->setRange(minimum, maximum);
    spin->setValue(item.number);
    connect(spin, &QSpinBox::valueChanged, this,
            [this, id](int number) { setNumberValue(id, number); });
    tree_->setItemWidget(item.row, 1, spin);
}

void PropertyGrid::expandAll() {
    tree_->expandAll();
}

void PropertyGrid::setCustomColors(std::initializer_list<std::uint32_t> colors) {
    int index = 0;
    for (const std::uint32_t color : colors) {
        if (index >= QColorDialog::customCount()) {
            break;
        }
        QColorDialog::setCustomColor(index++, fromColorRef(color));
    }
}

std::uint32_t PropertyGrid::colorValue(int id) const {
    const auto found = items_.find(id);
    return found != items_.end() ? found->second.color : 0;
}

int PropertyGrid::numberValue(int id) const {
    const auto found = items_.find(id);
    return found != items_.end() ? found->second.number : 0;
}

QString PropertyGrid::caption(int id) const {
    const auto found = items_.find(id);
    return found != items_.end() ? found->second.row->text(0) : QString();
}

void PropertyGrid::setColorValue(int id, std::uint32_t color) {
    const auto found = items_.find(id);
    if (found == items_.end() || !found->second.isColor || found->second.color == color) {
        return;
    }
    found->second.color = color & 0xFFFFFF;
    showColor(found->second);
    emit valueChanged(id);
}

void PropertyGrid::setNumberValue(int id, int value) {
    const auto found = items_.find(id);
    if (found == items_.end() || found->second.isColor) {
        return;
    }
    Item& item = found->second;
    value = std::clamp(value, item.minimum, item.maximum);
    if (auto* spin = qobject_cast<QSpinBox*>(tree_->itemWidget(item.row, 1));
        spin != nullptr && spin->value() != value) {
        spin->setValue(value);  // comes back here through valueChanged
        return;
    }
    if (item.number == value) {
        return;
    }
    item.number = value;
    emit valueChanged(id);
}

QString PropertyGrid::helpText() const {
    return help_->text();
}

void PropertyGrid::selectItem(int id) {
    const auto found = items_.find(id);
    if (found != items_.end()) {
        tree_->setCurrentItem(found->second.row);
    }
}

void PropertyGrid::showColor(Item& item) {
    auto* button = qobject_cast<QToolButton*>(tree_->itemWidget(item.row, 1));
    if (button == nullptr) {
        return;
    }
    const QColor color = fromColorRef(item.color);
    QPixmap swatch(kSwatchSize, kSwatchSize);
    swatch.fill(color);
    button->setIcon(QIcon(swatch));
    button->setText(color.name(QColor::HexRgb).toUpper());
}

void PropertyGrid::chooseColor(int id) {
    const auto found = items_.find(id);
    if (found == items_.end()) {
        return;
    }
    const QColor chosen =
        QColorDialog::getColor(fromColorRef(found->second.color), this, found->second.row->text(0));
    if (chosen.isValid()) {
        setColorValue(id, toColorRef(chosen));
    }
}

void PropertyGrid::showHelp() {
    const QTreeWidgetItem* current = tree_->currentItem();
    if (current == nullptr || !current->data(0, kIdRole).isValid()) {
        help_->clear();
        return;
    }
    const int id = current->data(0, kIdRole).toInt();
    const Item& item = items_.at(id);
    const QString value =
        item.isColor
            ? fromColorRef(item.color).name(QColor::HexRgb).toUpper()
            : QStringLiteral("%1 (%2 … %3)").arg(item.number).arg(item.minimum).arg(item.maximum);
    help_->setText(QStringLiteral("<b>%1</b><br>%2").arg(current->text(0).toHtmlEscaped(), value));
}

}  // namespace qm::studio::controls
