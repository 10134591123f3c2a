#pragma once

#include <QPointer>
#include <memory>

#include "studio/profiles/profile_commands.h"
#include "studio/shell/studio_hooks.h"

namespace qm::studio {

class CMainFrame;
class CTonecraftApp;
class ProfileHost;

// The profile part of the studio as the shell sees it: registered in the studio's hooks before
// the main frame exists, attached once the frame is made (the pane goes into the frame's profile
// place, and the commands and their apply workers live and go with it). Until then, and after
// the frame is gone, every hook does nothing.
class ProfilePart final : public ProfileHooks {
  public:
    ProfilePart();
    ~ProfilePart() override;

    void attach(CMainFrame& frame, CTonecraftApp& app);
    ProfileCommands* commands() const { return commands_; }

    void clearList() override;
    void fillList() override;
    void reloadList() override;
    bool canSave() override;
    void save() override;
    bool canApply() override;
    void apply() override;
    bool canRename() override;
    void rename() override;

  private:
    std::unique_ptr<ProfileHost> host_;
    QPointer<ProfileCommands> commands_;
};

}  // namespace qm::studio
