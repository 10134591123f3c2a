#include "studio/profiles/profile_commands.h"

#include "common/profiles/profile_create.h"
#include "common/profiles/profile_file.h"
#include "common/settings/models.h"
#include "studio/profiles/pane_profile.h"
#include "studio/profiles/profile_apply_dialog.h"
#include "studio/profiles/profile_list_ctrl.h"
#include "studio/profiles/profile_text_dialogs.h"
#include "studio/shell/user_prompts.h"

namespace qm::studio {

ProfileCommands::ProfileCommands(ProfileHost& host, CPaneProfile& pane, QObject* parent)
    : QObject(parent), host_(host), pane_(pane), runDialog_([](QDialog& d) { return d.exec(); }) {
    connect(&pane_, &CPaneProfile::commandChosen, this, [this](int command) {
        if (command == kRenameProfileCommand)
            rename();
        else if (command == kRemoveProfileCommand)
            remove();
        else if (command == kApplyProfileCommand)
            apply();
    });
    connect(pane_.list(), &CProfileListCtrl::rowDoubleClicked, this,
            [this] { applyWithoutQuestion(); });
}

ProfileCommands::~ProfileCommands() = default;

void ProfileCommands::clearList() {
    pane_.list()->removeAllRows();
}

void ProfileCommands::fillList() {
    clearList();
    if (!host_.selectedSerial().empty())
        pane_.list()->fill(data_.paths(host_.selectedProduct()));
}

void ProfileCommands::reloadList() {
    data_.rescan(host_.profileFolder());
    fillList();
}

bool ProfileCommands::canSave() {
    return !host_.selectedSerial().empty() && host_.selectedStarted();
}

void ProfileCommands::save() {
    const std::string serial = host_.selectedSerial();
    CProfileSaveDlg dialog([this] { return !host_.selectedSerial().empty(); }, pane_.window());
    if (runDialog_(dialog) != QDialog::Accepted || host_.selectedSerial() != serial)
        return;
    const QString name = dialog.name();
    const QString description = dialog.description();
    host_.readSelectedDescription(this, [this, serial, name, description](auto xml) {
        if (!xml) {
            host_.prompts().showMessage(tr("Device isn't ready!"), UserPrompts::Icon::Warning);
            return;
        }
        if (host_.selectedSerial() == serial)
            createProfile(*xml, name, description);
    });
}

void ProfileCommands::createProfile(const std::string& xml, const QString& name,
                                    const QString& description) {
    std::string error;
    const auto created = profiles::createFromDescription(
        xml, host_.profileFolder(), name.toStdString(), description.toStdString(), error);
    if (!created) {
        host_.prompts().showMessage(
            tr("The profile could not be saved: %1").arg(QString::fromStdString(error)),
            UserPrompts::Icon::Warning);
        return;
    }
    data_.add(created->model, created->path);
    if (settings::modelFromProductName(created->model) ==
        settings::modelFromProductName(host_.selectedProduct()))
        pane_.list()->addProfile(*created);
}

bool ProfileCommands::canApply() {
    return pane_.list()->selectedRow() >= 0 && !host_.selectedSerial().empty();
}

void ProfileCommands::apply() {
    if (!canApply())
        return;
    const std::string serial = host_.selectedSerial();
    const int row = pane_.list()->selectedRow();
    if (!host_.prompts().askYesNo(tr("Apply data selected profile ?"), UserPrompts::Icon::Question))
        return;
    if (host_.selectedSerial() != serial || pane_.list()->selectedRow() != row)
        return;
    openApplyDialog();
}

void ProfileCommands::applyWithoutQuestion() {
    openApplyDialog();
}

void ProfileCommands::openApplyDialog() {
    const profiles::CProfile* selected = pane_.list()->selectedProfile();
    CProfileApply::Start start;
    if (selected)
        start.profile = *selected;
    // Without a row or a microphone the dialog opens with only Close to press.
    if (selected && !host_.selectedSerial().empty()) {
        start.serial = host_.selectedSerial();
        start.open = host_.deviceOpener();
        start.clock = &Clock::real();
        start.policy = policy_;
    }
    retirement_.reap();
    CProfileApply dialog(std::move(start), retirement_, pane_.window());
    dialog.onFinished([this] { host_.reselect(); });
    runDialog_(dialog);
}

bool ProfileCommands::canRename() {
    return pane_.list()->selectedRow() >= 0;
}

void ProfileCommands::rename() {
    const int row = pane_.list()->selectedRow();
    profiles::CProfile* profile = pane_.list()->profileAt(row);
    if (profile == nullptr)
        return;
    const std::string path = profile->path;
    CProfileNameDescDlg dialog(QString::fromStdString(profile->name),
                               QString::fromStdString(profile->description), pane_.window());
    if (runDialog_(dialog) != QDialog::Accepted)
        return;
    // The list may have been filled anew while the dialog was open.
    profile = pane_.list()->profileAt(row);
    if (profile == nullptr || profile->path != path)
        return;
    profile->name = dialog.name().toStdString();
    profile->description = dialog.description().toStdString();
    std::string error;
    if (!profiles::saveNameAndDescription(*profile, error)) {
        host_.prompts().showMessage(
            tr("The profile could not be saved: %1 %2")
                .arg(QString::fromStdString(path), QString::fromStdString(error)),
            UserPrompts::Icon::Warning);
    }
    pane_.list()->redrawRow(row);
}

void ProfileCommands::remove() {
    const int row = pane_.list()->selectedRow();
    const profiles::CProfile* profile = pane_.list()->profileAt(row);
    if (profile == nullptr)
        return;
    const std::string path = profile->path;
    if (!host_.prompts().askYesNo(tr("Remove selected profile ?"), UserPrompts::Icon::Question))
        return;
    profile = pane_.list()->profileAt(row);
    if (profile == nullptr || profile->path != path)
        return;
    std::string error;
    if (!profiles::deleteProfile(data_, path, error)) {
        host_.prompts().showMessage(
            tr("The profile was not removed: %1").arg(QString::fromStdString(error)),
            UserPrompts::Icon::Warning);
        return;
    }
    pane_.list()->removeRow(row);
}

}  // namespace qm::studio
