#pragma once

#include <QDialog>
#include <QObject>
#include <functional>
#include <memory>

#include "common/profiles/profile_data.h"
#include "studio/profiles/apply_worker.h"
#include "studio/profiles/profile_host.h"
#include "studio/shell/studio_hooks.h"

namespace qm::studio {

class CPaneProfile;

// The profile pane's behaviour: the index of profile files, the list of the profiles that fit
// the selected microphone, and the commands Save, Apply, Rename and Remove with their questions,
// dialogs and enabling. Questions and dialogs run nested event loops; after each, a command goes
// on only if the microphone it was started for is still the selected one.
class ProfileCommands final : public QObject, public ProfileHooks {
    Q_OBJECT

  public:
    ProfileCommands(ProfileHost& host, CPaneProfile& pane, QObject* parent = nullptr);
    ~ProfileCommands() override;

    // How a dialog is shown: exec() unless a test runs it itself.
    using DialogRunner = std::function<int(QDialog& dialog)>;
    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
    // The pace of the apply steps (tests make it quick).
    void setApplyPolicy(const profiles::ApplyPolicy& policy) { policy_ = policy; }

    // The selection procedure's two steps: the list emptied, and filled with the profiles of
    // the selected microphone's product.
    void clearList() override;
    void fillList() override;

    // ProfileHooks (the ribbon and the list's context menu).
    void reloadList() override;
    bool canSave() override;
    void save() override;
    bool canApply() override;
    void apply() override;
    bool canRename() override;
    void rename() override;
    void remove();
    // A double click: the apply dialog without the question.
    void applyWithoutQuestion();

    const profiles::CProfileData& data() const { return data_; }
    ApplyWorkerRetirement& retirement() { return retirement_; }

  private:
    void createProfile(const std::string& xml, const QString& name, const QString& description);
    void openApplyDialog();

    ProfileHost& host_;
    CPaneProfile& pane_;
    profiles::CProfileData data_;
    DialogRunner runDialog_;
    profiles::ApplyPolicy policy_;
    ApplyWorkerRetirement retirement_;
};

}  // namespace qm::studio
