#include "studio/profiles/profile_list_ctrl.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "common/profiles/profile_file.h"
#include "studio/controls/dark_style.h"
#include "studio/profiles/profile_row_painter.h"

namespace qm::studio {

class CProfileListCtrl::Row final : public QListWidgetItem {
  public:
    explicit Row(profiles::CProfile record) : profile(std::move(record)) {}
    profiles::CProfile profile;
};

class CProfileListCtrl::Delegate final : public QStyledItemDelegate {
  public:
    explicit Delegate(CProfileListCtrl& list) : QStyledItemDelegate(&list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (const profiles::CProfile* profile = list_.profileAt(index.row())) {
            paintProfileRow(*painter, option.rect, *profile,
                            option.state.testFlag(QStyle::State_Selected),
                            option.state.testFlag(QStyle::State_MouseOver));
        }
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {list_.viewport()->width(), kProfileRowHeight};
    }

  private:
    CProfileListCtrl& list_;
};

CProfileListCtrl::CProfileListCtrl(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("profileList"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setUniformItemSizes(true);
    setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new Delegate(*this));
    QPalette colors = palette();
    colors.setColor(QPalette::Base, controls::darkColors().list);
    setPalette(colors);
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit rowDoubleClicked(row(item)); });
    connect(this, &QListWidget::currentRowChanged, this,
            [this] { emit selectedRowChanged(selectedRow()); });
}

void CProfileListCtrl::fill(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        // A file that can't be read still gets its row; its path is kept so it can be removed.
        profiles::CProfile profile;
        std::string ignored;
        if (!profiles::loadProfile(path, profile, ignored))
            profile.path = path;
        addProfile(profile);
    }
}

void CProfileListCtrl::addProfile(const profiles::CProfile& profile) {
    addItem(new Row(profile));
}

void CProfileListCtrl::removeAllRows() {
    clear();
}

const profiles::CProfile* CProfileListCtrl::profileAt(int row) const {
    const auto* found = dynamic_cast<const Row*>(item(row));
    return found ? &found->profile : nullptr;
}

profiles::CProfile* CProfileListCtrl::profileAt(int row) {
    auto* found = dynamic_cast<Row*>(item(row));
    return found ? &found->profile : nullptr;
}

int CProfileListCtrl::selectedRow() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.front());
}

const profiles::CProfile* CProfileListCtrl::selectedProfile() const {
    return profileAt(selectedRow());
}

void CProfileListCtrl::removeRow(int row) {
    delete takeItem(row);
}

void CProfileListCtrl::redrawRow(int row) {
    if (QListWidgetItem* found = item(row))
        viewport()->update(visualItemRect(found));
}

bool CProfileListCtrl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const profiles::CProfile* profile = profileAt(index.row());
        const QString tip =
            profile ? profileRowToolTip(*profile, profileRowZoneAt(visualRect(index), help->pos()))
                    : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QListWidget::viewportEvent(event);
}

void CProfileListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    // A right click selects the row under it first, as the list's commands work on the selection.
    if (QListWidgetItem* under = itemAt(viewport()->mapFrom(this, event->pos())))
        setCurrentItem(under);
    emit contextMenuRequested(event->globalPos());
}

}  // namespace qm::studio
