#include "studio/controls/ribbon_bar.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "studio/controls/ribbon_group.h"

namespace qm::studio::controls {
namespace {

constexpr int kUpdateIntervalMs = 250;

QToolButton* makeBarButton(QWidget* parent, const QString& text, const QString& toolTip) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

RibbonTab::RibbonTab(RibbonBar& bar, int id, QWidget* parent)
    : QWidget(parent), bar_(bar), id_(id) {
    setObjectName(QStringLiteral("ribbonTab%1").arg(id));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    row->addStretch(1);
}

RibbonGroup* RibbonTab::addGroup(int id, const QString& caption) {
    auto* group = new RibbonGroup(bar_, id, caption, this);
    auto* row = static_cast<QHBoxLayout*>(layout());
    row->insertWidget(row->count() - 1, group);
    groups_.push_back(group);
    return group;
}

RibbonBar::RibbonBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ribbonBar"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* top = new QHBoxLayout();
    topRow_ = top;
    top->setContentsMargins(0, 0, 2, 0);
    top->setSpacing(2);
    tabBar_ = new QTabBar(this);
    tabBar_->setObjectName(QStringLiteral("ribbonTabs"));
    tabBar_->setDrawBase(false);
    tabBar_->setExpanding(false);
    top->addWidget(tabBar_);
    top->addStretch(1);
    minimizeButton_ = makeBarButton(this, QStringLiteral("\u25B4"), tr("Minimize the Ribbon"));
    minimizeButton_->setObjectName(QStringLiteral("command%1").arg(kMinimizeCommand));
    expandButton_ = makeBarButton(this, QStringLiteral("\u25BE"), tr("Expand the Ribbon"));
    expandButton_->setObjectName(QStringLiteral("command%1").arg(kExpandCommand));
    expandButton_->setVisible(false);
    top->addWidget(minimizeButton_);
    top->addWidget(expandButton_);
    column->addLayout(top);

    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("ribbonPages"));
    column->addWidget(pages_);

    connect(tabBar_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);
    connect(tabBar_, &QTabBar::tabBarDoubleClicked, this, [this] { setMinimized(!minimized_); });
    connect(minimizeButton_, &QToolButton::clicked, this,
            [this] { triggerCommand(kMinimizeCommand); });
    connect(expandButton_, &QToolButton::clicked, this, [this] { triggerCommand(kExpandCommand); });

    updateTimer_ = new QTimer(this);
    updateTimer_->setInterval(kUpdateIntervalMs);
    connect(updateTimer_, &QTimer::timeout, this, &RibbonBar::updateCommands);
}

QToolButton* RibbonBar::setSystemButton(int id, const Prompt& prompt) {
    if (systemButton_ == nullptr) {
        systemButton_ = new QToolButton(this);
        systemButton_->setObjectName(QStringLiteral("ribbonSystemButton"));
        topRow_->insertWidget(0, systemButton_);
        connect(systemButton_, &QToolButton::clicked, this, [this, id] {
            emit commandTriggered(id);
            emit systemButtonClicked();
        });
    }
    systemButton_->setText(prompt.caption);
    systemButton_->setToolTip(promptToolTip(prompt));
    return systemButton_;
}

RibbonTab* RibbonBar::addTab(int id, const QString& caption) {
    auto* tab = new RibbonTab(*this, id, pages_);
    pages_->addWidget(tab);
    tabBar_->addTab(caption);
    tabs_.push_back(tab);
    return tab;
}

int RibbonBar::tabCount() const {
    return static_cast<int>(tabs_.size());
}

RibbonTab* RibbonBar::tab(int index) const {
    if (index < 0 || index >= tabCount()) {
        return nullptr;
    }
    return tabs_[static_cast<std::size_t>(index)];
}

QString RibbonBar::tabCaption(int index) const {
    return tabBar_->tabText(index);
}

void RibbonBar::setTabToolTip(int index, const QString& text) {
    tabBar_->setTabToolTip(index, text);
}

QString RibbonBar::tabToolTip(int index) const {
    return tabBar_->tabToolTip(index);
}

int RibbonBar::currentTab() const {
    return tabBar_->currentIndex();
}

void RibbonBar::setCurrentTab(int index) {
    tabBar_->setCurrentIndex(index);
}

void RibbonBar::setMinimized(bool minimized) {
    minimized_ = minimized;
    pages_->setVisible(!minimized);
    minimizeButton_->setVisible(!minimized);
    expandButton_->setVisible(minimized);
}

std::vector<QWidget*> RibbonBar::controls(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? std::vector<QWidget*>{} : found->second;
}

QWidget* RibbonBar::control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() || found->second.empty() ? nullptr : found->second.front();
}

void RibbonBar::registerControl(int id, QWidget* control) {
    controls_[id].push_back(control);
}

void RibbonBar::updateCommands() {
    if (updater_ == nullptr) {
        return;
    }
    for (const auto& [id, widgets] : controls_) {
        for (QWidget* widget : widgets) {
            auto* button = qobject_cast<QAbstractButton*>(widget);
            CommandUi ui{widget->isEnabled(), button != nullptr && button->isChecked()};
            if (!updater_->updateCommandUi(id, ui)) {
                continue;
            }
            widget->setEnabled(ui.enabled);
            if (button != nullptr && button->isCheckable()) {
                button->setChecked(ui.checked);
            }
        }
    }
}

void RibbonBar::triggerCommand(int id) {
    if (id == kMinimizeCommand) {
        setMinimized(true);
    } else if (id == kExpandCommand) {
        setMinimized(false);
    }
    emit commandTriggered(id);
    updateCommands();
}

void RibbonBar::emitComboSelected(int id, int index, int itemData) {
    emit comboSelected(id, index, itemData);
    updateCommands();
}

void RibbonBar::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuRequested(event->globalPos());
    event->accept();
}

void RibbonBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateTimer_->start();
}

void RibbonBar::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateTimer_->stop();
}

}  // namespace qm::studio::controls
