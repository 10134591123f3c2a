#include "studio/shell/backstage_folder_pages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/ipc/ipc_result.h"
#include "common/profiles/profile_folder.h"
#include "common/settings/system_paths.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/shell/backstage_page_parts.h"
#include "studio/shell/service_calls.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/tonecraft_app.h"

namespace qm::studio {
namespace {

constexpr const char* kLogFolder = "LogFolder";

}  // namespace

CBackstageFolderPage::CBackstageFolderPage(CTonecraftApp& app, int dialogId, const QString& heading,
                                           const QString& label, int editId, int applyId,
                                           QWidget* parent)
    : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("backstagePage%1").arg(dialogId));
    QVBoxLayout* column = backstageColumn(this, heading);
    column->addWidget(new QLabel(label, this));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("control%1").arg(editId));
    column->addWidget(edit_);
    apply_ = new QPushButton(tr("Apply"), this);
    apply_->setObjectName(QStringLiteral("control%1").arg(applyId));
    apply_->setEnabled(false);
    column->addWidget(apply_, 0, Qt::AlignLeft);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("folderProblem"));
    problem_->setWordWrap(true);
    problem_->hide();
    column->addWidget(problem_);
    column->addStretch(1);
    connect(edit_, &QLineEdit::textEdited, this,
            [this](const QString& text) { apply_->setEnabled(!text.isEmpty()); });
    connect(apply_, &QPushButton::clicked, this, &CBackstageFolderPage::apply);
}

void CBackstageFolderPage::showFolder(const std::string& folder) {
    edit_->setText(QString::fromStdString(folder));
}

void CBackstageFolderPage::showProblem(const QString& text) {
    problem_->setText(text);
    problem_->show();
    apply_->setEnabled(!edit_->text().isEmpty());
}

void CBackstageFolderPage::apply() {
    if (!apply_->isEnabled() || edit_->text().isEmpty()) {
        return;
    }
    apply_->setEnabled(false);
    problem_->hide();
    if (!store(edit_->text().toStdString())) {
        showProblem(tr("The folder could not be stored."));
    }
}

bool CBackstageFolderPage::writeDevicesValue(const char* name, const std::string& folder) {
    registry::Key key;
    return app_.store().createKey(registry::Hive::LocalMachine, keys::kDevicesPath,
                                  registry::Access::ReadWrite, key) == registry::ERROR_SUCCESS &&
           registry::writeString(key, name, folder) == registry::ERROR_SUCCESS;
}

std::string CBackstageFolderPage::readDevicesValue(const char* name, const std::string& fallback) {
    registry::Key key;
    if (app_.store().createKey(registry::Hive::LocalMachine, keys::kDevicesPath,
                               registry::Access::ReadWrite, key) != registry::ERROR_SUCCESS &&
        app_.store().openKey(registry::Hive::LocalMachine, keys::kDevicesPath,
                             registry::Access::Read, key) != registry::ERROR_SUCCESS) {
        return fallback;
    }
    return registry::readString(key, name).value_or(fallback);
}

CBackstagePageLOG::CBackstagePageLOG(CTonecraftApp& app, QWidget* parent)
    : CBackstageFolderPage(app, 176, tr("Server output Log"), tr("Set output log folder:"), 5103,
                           5104, parent) {
    showFolder(readDevicesValue(kLogFolder, settings::defaultLogFolder()));
}

bool CBackstagePageLOG::store(const std::string& folder) {
    const std::string previous = readDevicesValue(kLogFolder, settings::defaultLogFolder());
    if (!writeDevicesValue(kLogFolder, folder)) {
        return false;
    }
    // A service that isn't connected takes the folder from the registry when it next starts its
    // logs.
    if (const auto service = app_.connection().sdkPtr()) {
        app_.calls().post(
            ServiceCalls::kManagerLane, this,
            [service, folder] { return service->SetLogFolder(folder); },
            [this, folder, previous](sdk::HRESULT hr) { answered(hr, folder, previous); });
    }
    return true;
}

// The service's answer to SetLogFolder. A refusal leaves its logs where they were, so the stored
// value goes back too (unless a later Apply stored another) and the page says so. A call that
// did not reach the service leaves the folder stored for its next start.
void CBackstagePageLOG::answered(sdk::HRESULT hr, const std::string& folder,
                                 const std::string& previous) {
    if (sdk::SUCCEEDED(hr) || hr == ipc::kServiceUnavailable || hr == ipc::kCallTimedOut) {
        return;
    }
    if (readDevicesValue(kLogFolder, previous) == folder) {
        static_cast<void>(writeDevicesValue(kLogFolder, previous));
    }
    showProblem(tr("The service cannot use this folder (error 0x%1); its logs stay in %2.")
                    .arg(static_cast<std::uint32_t>(hr), 8, 16, QLatin1Char('0'))
                    .arg(QString::fromStdString(previous)));
}

CBackstagePageProfile::CBackstagePageProfile(CTonecraftApp& app, QWidget* parent)
    : CBackstageFolderPage(app, 177, tr("Profile data"), tr("Set profileg folder:"), 5123, 5124,
                           parent) {
    showFolder(app.profileFolder());
}

bool CBackstagePageProfile::store(const std::string& folder) {
    app_.setProfileFolder(folder);
    if (!writeDevicesValue(keys::kProfileFolder, folder)) {
        return false;
    }
    profiles::ensureProfileFolders(folder);
    if (ProfileHooks* list = app_.environment().hooks.profiles) {
        list->reloadList();
    }
    return true;
}

}  // namespace qm::studio
