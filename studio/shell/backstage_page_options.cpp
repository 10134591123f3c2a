#include "studio/shell/backstage_page_options.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QToolButton>

#include "studio/shell/backstage_folder_pages.h"
#include "studio/shell/backstage_page_color.h"
#include "studio/shell/backstage_page_device.h"
#include "studio/shell/backstage_page_parts.h"
#include "studio/shell/backstage_page_ui.h"

namespace qm::studio {
namespace {

constexpr int kButtonWidth = 190;
constexpr int kArea = 5032;

}  // namespace

CBackstagePageOptions::CBackstagePageOptions(CTonecraftApp& app, CMainFrame& frame, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("backstagePage173"));
    QVBoxLayout* column = backstageColumn(this, tr("Options"));
    auto* row = new QHBoxLayout();
    column->addLayout(row, 1);
    auto* buttons = new QVBoxLayout();
    row->addLayout(buttons);
    area_ = new QStackedWidget(this);
    area_->setObjectName(QStringLiteral("backstageArea%1").arg(kArea));
    row->addWidget(area_, 1);

    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    const struct {
        int id;
        QString caption;
        QWidget* page;
    } tabs[] = {
        {kUserInterface, tr("User interface"), new CBackstagePageUI(app, frame, area_)},
        {kColor, tr("Custom display color"), new CBackstagePageColor(app, area_)},
        {kLog, tr("Server output Log"), new CBackstagePageLOG(app, area_)},
        {kProfile, tr("Profile"), new CBackstagePageProfile(app, area_)},
        {kDevices, tr("Audio devices"), new CBackstagePageDevice(app, frame, area_)},
    };
    for (const auto& tab : tabs) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("optionsTab%1").arg(tab.id));
        button->setText(tab.caption);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setFixedWidth(kButtonWidth);
        group->addButton(button, tab.id);
        buttons->addWidget(button);
        area_->addWidget(tab.page);
        buttons_[tab.id] = button;
        pages_[tab.id] = tab.page;
        connect(button, &QToolButton::clicked, this, [this, id = tab.id] { choose(id); });
    }
    buttons->addStretch(1);
    choose(kUserInterface);
}

void CBackstagePageOptions::choose(int buttonId) {
    const auto page = pages_.find(buttonId);
    if (page == pages_.end()) {
        return;
    }
    buttons_.at(buttonId)->setChecked(true);
    if (buttonId != chosen_) {
        chosen_ = buttonId;
        area_->setCurrentWidget(page->second);
    }
}

QToolButton* CBackstagePageOptions::tabButton(int buttonId) const {
    const auto found = buttons_.find(buttonId);
    return found != buttons_.end() ? found->second : nullptr;
}

QWidget* CBackstagePageOptions::subPage(int buttonId) const {
    const auto found = pages_.find(buttonId);
    return found != pages_.end() ? found->second : nullptr;
}

}  // namespace qm::studio
