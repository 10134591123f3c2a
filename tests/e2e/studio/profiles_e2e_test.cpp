// The profile pane against the real service: a profile saved by the studio from one microphone
// and applied by it to another of the model, with a refused change on the way; the panels then
// show what was applied.
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/settings/device_settings.h"
#include "studio/profiles/profile_apply_dialog.h"
#include "studio/profiles/profile_list_ctrl.h"
#include "studio/profiles/profile_text_dialogs.h"
#include "studio_fixture.h"

namespace qm::studio::testing {
namespace {

class ProfilesAgainstServiceTest : public StudioWithPanelsTest {
  protected:
    std::optional<std::uint8_t> shown(settings::Setting setting) {
        const auto values = StudioWithPanelsTest::shown();
        return values ? std::optional<std::uint8_t>((*values)[setting]) : std::nullopt;
    }

    CProfileListCtrl& profileList() {
        auto* made = app_->mainFrame()->findChild<CProfileListCtrl*>();
        if (made == nullptr)
            throw std::logic_error("the studio made no profile list");
        return *made;
    }
};

TEST_F(ProfilesAgainstServiceTest, AnAppliedProfileIsRetriedOnARefusalAndShowsOnThePanels) {
    startService("Larch:SN1003,Larch:SN1004");
    ASSERT_NO_FATAL_FAILURE(waitUntilRead({"SN1003", "SN1004"}));
    qmctl({"set", "SN1003", "LPF", "4"});
    qmctl({"set", "SN1003", "EQ_3_GAIN", "40"});
    qmctl({"set", "SN1003", "TPA", "0xA0"});
    ASSERT_NO_FATAL_FAILURE(startStudioWithPanels(2, true));
    ProfileCommands& commands = *profiles_.commands();

    // Saved from SN1003 through the save dialog.
    ASSERT_TRUE(showPanelsOf("SN1003"));
    commands.setDialogRunner([](QDialog& dialog) {
        static_cast<ProfileTextsDialog&>(dialog).nameEdit()->setText(QStringLiteral("Booth"));
        return int(QDialog::Accepted);
    });
    commands.save();
    ASSERT_TRUE(pumpUntil([&] { return profileList().rowCount() == 1; }, 10s));

    // Applied to SN1004, whose fifth change is refused once.
    ASSERT_TRUE(showPanelsOf("SN1004"));
    ASSERT_EQ(profileList().rowCount(), 1);
    EXPECT_NE(shown(settings::Setting::LPF), 4);
    profileList().setCurrentRow(0);
    qmctl({"sim", "fault", "SN1004", "pass-frames", "--count", "4"});
    qmctl({"sim", "fault", "SN1004", "reject-changes", "--count", "1"});
    std::vector<std::string> log;
    commands.setDialogRunner([&log](QDialog& dialog) {
        auto& apply = static_cast<CProfileApply&>(dialog);
        EXPECT_TRUE(pumpUntil([&] { return apply.closeButton()->isEnabled(); }, 60s));
        for (int i = 0; i < apply.statusTree()->topLevelItemCount(); ++i)
            log.push_back(apply.statusTree()->topLevelItem(i)->text(0).toStdString());
        return int(QDialog::Accepted);
    });
    commands.apply();
    ASSERT_EQ(log.size(), 22u) << "21 steps of a Larch and one retry";
    EXPECT_EQ(
        std::vector<std::string>(log.begin() + 3, log.begin() + 7),
        (std::vector<std::string>{
            "Apply profile ALC Refernce value sucessfully!", "Apply profile HPF 1 filter error!",
            "Apply profile HPF 1 filter sucessfully!", "Apply profile HPF 2 filter sucessfully!"}));
    EXPECT_EQ(log.back(), "Apply profile Power Out Loop and mode sucessfully!");

    // The selection is read anew: the panels show the profile's values.
    EXPECT_TRUE(pumpUntil(
        [&] {
            return shown(settings::Setting::LPF) == 4 &&
                   shown(settings::Setting::EQ_3_GAIN) == 40 &&
                   shown(settings::Setting::TPA) == 0xA0;
        },
        10s));
}

}  // namespace
}  // namespace qm::studio::testing
