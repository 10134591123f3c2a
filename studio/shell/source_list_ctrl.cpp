#include "studio/shell/source_list_ctrl.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "common/text/text.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/device_groups.h"
#include "studio/shell/service_connection.h"
#include "studio/shell/string_table.h"

namespace qm::studio {
namespace {

enum Role {
    kSerialRole = Qt::UserRole + 1,
    kDescriptionRole,
    kFriendlyNameRole,
    kActiveRole,
    kGroupRole,
    kIsGroupRole,
};

constexpr int kDeviceItemType = QTreeWidgetItem::UserType + 1;
// Groups in the order they are shown.
constexpr std::array<int, 7> kGroupOrder = {1, 2, 3, 4, 5, 6, 0};

SourceItemState stateFromIndex(const QModelIndex& index) {
    return {index.data(kSerialRole).toString(), index.data(kDescriptionRole).toString(),
            index.data(kFriendlyNameRole).toString(), index.data(kActiveRole).toBool()};
}

class SourceItemDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (index.data(kIsGroupRole).toBool()) {
            const auto* view = qobject_cast<const QTreeView*>(option.widget);
            const bool expanded = view != nullptr && view->isExpanded(index);
            paintGroupHeader(*painter, option.rect, index.data(Qt::DisplayRole).toString(),
                             expanded);
            return;
        }
        paintSourceItem(*painter, option.rect, stateFromIndex(index),
                        (option.state & QStyle::State_Selected) != 0,
                        (option.state & QStyle::State_MouseOver) != 0);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int height =
            index.data(kIsGroupRole).toBool() ? kGroupHeaderHeight : kSourceItemHeight;
        return {option.rect.width(), height};
    }
};

}  // namespace

class CSourceListCtrl::Item final : public QTreeWidgetItem {
  public:
    Item(DevicePtr device, const DeviceInfo& info, int groupId)
        : QTreeWidgetItem(kDeviceItemType), device_(std::move(device)) {
        setData(0, kSerialRole, QString::fromStdString(info.serial));
        setData(0, kGroupRole, groupId);
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        show(info);
    }

    const DevicePtr& device() const { return device_; }
    std::string serial() const { return data(0, kSerialRole).toString().toStdString(); }
    int groupId() const { return data(0, kGroupRole).toInt(); }
    bool active() const { return data(0, kActiveRole).toBool(); }

    void show(const DeviceInfo& info) {
        setData(0, kDescriptionRole, QString::fromStdString(info.description));
        setData(0, kFriendlyNameRole, QString::fromStdString(info.friendlyName));
        setData(0, kActiveRole, info.started);
    }

  private:
    DevicePtr device_;
};

CSourceListCtrl::CSourceListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("sourceList%1").arg(ids::kSourceList));
    setColumnCount(1);
    setHeaderLabels({QStringLiteral("Objects")});
    setHeaderHidden(true);
    header()->setStretchLastSection(true);
    setRootIsDecorated(false);
    setIndentation(0);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(false);
    setMouseTracking(true);
    setItemDelegate(new SourceItemDelegate(this));
    setExpandsOnDoubleClick(false);

    for (const int id : kGroupOrder) {
        auto* groupItem = new QTreeWidgetItem();
        const std::string_view header = deviceGroupHeader(id);
        groupItem->setText(
            0, header.empty()
                   ? loadString(IDS_OTHER_DEVICES)
                   : QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size())));
        groupItem->setData(0, kIsGroupRole, true);
        groupItem->setData(0, kGroupRole, id);
        groupItem->setFlags(Qt::ItemIsEnabled);
        addTopLevelItem(groupItem);
        groupItem->setExpanded(true);
        groupItem->setHidden(true);
        groups_[static_cast<std::size_t>(id)] = groupItem;
    }

    connect(this, &QTreeWidget::itemSelectionChanged, this, &CSourceListCtrl::onSelectionChanged);
    connect(this, &QTreeWidget::itemClicked, this, [](QTreeWidgetItem* item, int) {
        if (item->data(0, kIsGroupRole).toBool()) {
            item->setExpanded(!item->isExpanded());
        }
    });
}

QTreeWidgetItem* CSourceListCtrl::group(int groupId) const {
    if (groupId < 0 || groupId >= kDeviceGroupCount) {
        return groups_[0];
    }
    return groups_[static_cast<std::size_t>(groupId)];
}

bool CSourceListCtrl::insertDevice(const DevicePtr& device, const DeviceInfo& info) {
    if (device == nullptr || !info.identified) {
        return false;
    }
    const int groupId = deviceGroupOf(info.name);
    group(groupId)->addChild(new Item(device, info, groupId));
    refreshGroupVisibility();
    return true;
}

void CSourceListCtrl::deleteAllItems() {
    ++quietSelection_;
    selectionModel()->clearCurrentIndex();
    for (QTreeWidgetItem* groupItem : groups_) {
        qDeleteAll(groupItem->takeChildren());
    }
    refreshGroupVisibility();
    --quietSelection_;
}

bool CSourceListCtrl::deleteDevice(std::string_view serial) {
    Item* item = findItem(serial);
    if (item == nullptr) {
        return false;
    }
    ++quietSelection_;
    // Taking the current item away would make the view select its neighbour.
    if (currentItem() == item) {
        selectionModel()->clearCurrentIndex();
    }
    delete item;
    refreshGroupVisibility();
    --quietSelection_;
    return true;
}

CSourceListCtrl::Item* CSourceListCtrl::findItem(std::string_view serial) const {
    // From the last item backwards.
    for (auto groupIt = kGroupOrder.rbegin(); groupIt != kGroupOrder.rend(); ++groupIt) {
        QTreeWidgetItem* groupItem = groups_[static_cast<std::size_t>(*groupIt)];
        for (int i = groupItem->childCount() - 1; i >= 0; --i) {
            auto* item = static_cast<Item*>(groupItem->child(i));
            if (text::asciiIEquals(item->serial(), serial)) {
                return item;
            }
        }
    }
    return nullptr;
}

bool CSourceListCtrl::containsDevice(std::string_view serial) const {
    return findItem(serial) != nullptr;
}

int CSourceListCtrl::deviceCount() const {
    int count = 0;
    for (QTreeWidgetItem* groupItem : groups_) {
        count += groupItem->childCount();
    }
    return count;
}

bool CSourceListCtrl::updateDevice(const DeviceInfo& info) {
    Item* item = findItem(info.serial);
    if (item == nullptr) {
        return false;
    }
    item->show(info);
    return true;
}

void CSourceListCtrl::redrawAll() {
    viewport()->update();
}

std::vector<std::string> CSourceListCtrl::listedSerials() const {
    std::vector<std::string> serials;
    for (const int id : kGroupOrder) {
        QTreeWidgetItem* groupItem = groups_[static_cast<std::size_t>(id)];
        for (int i = 0; i < groupItem->childCount(); ++i) {
            serials.push_back(static_cast<Item*>(groupItem->child(i))->serial());
        }
    }
    return serials;
}

bool CSourceListCtrl::anyInactive() const {
    for (QTreeWidgetItem* groupItem : groups_) {
        for (int i = 0; i < groupItem->childCount(); ++i) {
            if (!static_cast<Item*>(groupItem->child(i))->active()) {
                return true;
            }
        }
    }
    return false;
}

int CSourceListCtrl::groupOf(std::string_view serial) const {
    const Item* item = findItem(serial);
    return item == nullptr ? -1 : item->groupId();
}

bool CSourceListCtrl::groupVisible(int groupId) const {
    return !group(groupId)->isHidden();
}

SourceItemState CSourceListCtrl::stateOf(std::string_view serial) const {
    const Item* item = findItem(serial);
    if (item == nullptr) {
        return {};
    }
    return stateFromIndex(indexFromItem(item));
}

CSourceListCtrl::DevicePtr CSourceListCtrl::selectedDevice() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty() || selected.front()->type() != kDeviceItemType) {
        return nullptr;
    }
    return static_cast<Item*>(selected.front())->device();
}

bool CSourceListCtrl::selectDevice(std::string_view serial) {
    Item* item = findItem(serial);
    if (item == nullptr) {
        return false;
    }
    setCurrentItem(item);
    item->setSelected(true);
    return true;
}

void CSourceListCtrl::clearSelectionMark() {
    ++quietSelection_;
    clearSelection();
    selectionModel()->clearCurrentIndex();
    --quietSelection_;
}

void CSourceListCtrl::refreshGroupVisibility() {
    for (QTreeWidgetItem* groupItem : groups_) {
        groupItem->setHidden(groupItem->childCount() == 0);
    }
}

void CSourceListCtrl::onSelectionChanged() {
    if (quietSelection_ > 0) {
        return;
    }
    emit deviceSelected(selectedDevice());
    viewport()->update();
}

bool CSourceListCtrl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        QString tip;
        if (index.isValid() && !index.data(kIsGroupRole).toBool()) {
            const QRect rect = visualRect(index);
            tip = sourceItemToolTip(stateFromIndex(index), sourceItemZoneAt(rect, help->pos()));
        }
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), tip, viewport());
        }
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}

void CSourceListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuRequested(event->globalPos());
    event->accept();
}

void CSourceListCtrl::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    setColumnWidth(0, viewport()->width());
}

}  // namespace qm::studio
