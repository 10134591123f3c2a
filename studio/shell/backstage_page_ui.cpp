#include "studio/shell/backstage_page_ui.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/language_manager.h"
#include "studio/shell/backstage_page_parts.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/string_table.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/tonecraft_app.h"
#include "studio/shell/user_prompts.h"

namespace qm::studio {
namespace {

constexpr int kRestartQuestion = 3740;

bool startNewInstance() {
    return QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                   QCoreApplication::arguments().mid(1),
                                   QCoreApplication::applicationDirPath());
}

}  // namespace

CBackstagePageUI::CBackstagePageUI(CTonecraftApp& app, CMainFrame& frame, QWidget* parent)
    : QWidget(parent), app_(app), frame_(frame) {
    setObjectName(QStringLiteral("backstagePage174"));
    QVBoxLayout* column = backstageColumn(this, tr("User interface"));
    column->addWidget(new QLabel(tr("Select language:"), this));
    languages_ = new QComboBox(this);
    languages_->setObjectName(QStringLiteral("control5036"));
    column->addWidget(languages_);
    apply_ = new QPushButton(tr("Apply"), this);
    apply_->setObjectName(QStringLiteral("control5037"));
    apply_->setEnabled(false);
    column->addWidget(apply_, 0, Qt::AlignLeft);
    column->addStretch(1);

    const controls::LanguageManager* manager = app_.languageManager();
    if (manager != nullptr && !manager->translations().empty()) {
        for (const controls::Translation& translation : manager->translations()) {
            languages_->addItem(translation.name, translation.languageId);
            if (translation.languageId == manager->currentLanguage()) {
                languages_->setCurrentIndex(languages_->count() - 1);
            }
        }
    } else {
        languages_->addItem(QString::fromLatin1(controls::LanguageManager::kDefaultLanguageName),
                            controls::LanguageManager::kDefaultLanguageId);
    }
    connect(languages_, &QComboBox::currentIndexChanged, this,
            [this] { apply_->setEnabled(true); });
    connect(apply_, &QPushButton::clicked, this, &CBackstagePageUI::apply);
}

void CBackstagePageUI::apply() {
    if (!apply_->isEnabled()) {
        return;
    }
    apply_->setEnabled(false);
    registry::Key key;
    if (app_.store().createKey(registry::Hive::CurrentUser, keys::kSettingsPath,
                               registry::Access::ReadWrite, key) != registry::ERROR_SUCCESS ||
        registry::writeDword(key, keys::kUiLanguage, languages_->currentData().toUInt()) !=
            registry::ERROR_SUCCESS) {
        return;
    }
    if (!app_.prompts().askYesNo(loadString(kRestartQuestion), UserPrompts::Icon::Information)) {
        return;
    }
    const auto& start = app_.environment().startNewInstance;
    if (start ? start() : startNewInstance()) {
        frame_.close();
    }
}

}  // namespace qm::studio
