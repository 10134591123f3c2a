#include "studio/controls/backstage_view.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace qm::studio::controls {
namespace {

constexpr int kButtonColumnWidth = 150;

QToolButton* makeColumnButton(QWidget* parent, const QString& text) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

BackstageView::BackstageView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("backstageView"));
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    auto* column = new QWidget(this);
    column->setObjectName(QStringLiteral("backstageColumn"));
    column->setFixedWidth(kButtonColumnWidth);
    buttons_ = new QVBoxLayout(column);
    buttons_->setContentsMargins(4, 4, 4, 4);
    auto* back = makeColumnButton(column, QStringLiteral("\u2190"));
    back->setObjectName(QStringLiteral("backstageBack"));
    connect(back, &QToolButton::clicked, this, &BackstageView::hideView);
    buttons_->addWidget(back);
    buttons_->addStretch(1);
    row->addWidget(column);

    stack_ = new QStackedWidget(this);
    row->addWidget(stack_, 1);

    tabGroup_ = new QButtonGroup(this);
    tabGroup_->setExclusive(true);

    if (parent != nullptr) {
        parent->installEventFilter(this);
    }
    hide();
}

void BackstageView::addPage(int id, const QString& caption, QWidget* page, bool isDefault) {
    auto* button = makeColumnButton(this, caption);
    button->setObjectName(QStringLiteral("backstageTab%1").arg(id));
    button->setCheckable(true);
    tabGroup_->addButton(button, id);
    buttons_->insertWidget(buttons_->count() - 1, button);
    stack_->addWidget(page);
    pages_[id] = page;
    tabButtons_[id] = button;
    connect(button, &QToolButton::clicked, this, [this, id] { setCurrentPage(id); });
    if (isDefault || defaultPage_ < 0) {
        defaultPage_ = id;
    }
}

void BackstageView::addCommand(int id, const QString& caption) {
    auto* button = makeColumnButton(this, caption);
    button->setObjectName(QStringLiteral("backstageCommand%1").arg(id));
    buttons_->insertWidget(buttons_->count() - 1, button);
    connect(button, &QToolButton::clicked, this, [this, id] {
        hideView();
        emit commandTriggered(id);
    });
}

void BackstageView::showView() {
    if (defaultPage_ >= 0) {
        setCurrentPage(defaultPage_);
    }
    fitParent();
    show();
    raise();
    setFocus();
}

void BackstageView::hideView() {
    hide();
}

int BackstageView::currentPage() const {
    for (const auto& [id, page] : pages_) {
        if (stack_->currentWidget() == page) {
            return id;
        }
    }
    return -1;
}

void BackstageView::setCurrentPage(int id) {
    const auto found = pages_.find(id);
    if (found == pages_.end()) {
        return;
    }
    stack_->setCurrentWidget(found->second);
    tabButtons_[id]->setChecked(true);
}

QWidget* BackstageView::page(int id) const {
    const auto found = pages_.find(id);
    return found == pages_.end() ? nullptr : found->second;
}

QToolButton* BackstageView::tabButton(int id) const {
    const auto found = tabButtons_.find(id);
    return found == tabButtons_.end() ? nullptr : found->second;
}

void BackstageView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hideView();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool BackstageView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible()) {
        fitParent();
    }
    return QWidget::eventFilter(watched, event);
}

void BackstageView::fitParent() {
    if (parentWidget() != nullptr) {
        setGeometry(parentWidget()->rect());
    }
}

}  // namespace qm::studio::controls
