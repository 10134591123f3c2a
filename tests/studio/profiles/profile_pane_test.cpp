#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>

#include "common/profiles/profile_file.h"
#include "profile_fakes.h"
#include "studio/profiles/pane_profile.h"
#include "studio/profiles/profile_apply_dialog.h"
#include "studio/profiles/profile_commands.h"
#include "studio/profiles/profile_list_ctrl.h"
#include "studio/profiles/profile_row_painter.h"
#include "studio/profiles/profile_text_dialogs.h"

namespace qm::studio {
namespace {

using testing::FakeHost;
using namespace std::chrono_literals;

std::string profileText(const std::string& id, const std::string& name) {
    return "<Profile ProfileID=\"" + id + "\" ProfileName=\"" + name +
           "\" ProfileDesc=\"d\"><Device Name=\"Alder\" LPF=\"3\"/></Profile>";
}

class ProfilePane : public ::testing::Test {
  protected:
    ProfilePane() {
        testing::writeFile(host.folder.path() / "Alder" / "Alder_A.xml", profileText("A", "One"));
        testing::writeFile(host.folder.path() / "Alder" / "Alder_B.xml", "not a profile");
        testing::writeFile(host.folder.path() / "Cedar" / "Cedar_C.xml", profileText("C", "C"));
        commands.setDialogRunner([this](QDialog& dialog) {
            shown.push_back(&dialog);
            return answerDialog ? answerDialog(dialog) : QDialog::Rejected;
        });
        commands.reloadList();
    }

    CProfileListCtrl& list() { return *pane.list(); }
    void selectRow(int row) { list().setCurrentRow(row); }

    FakeHost host;
    CPaneProfile pane;
    ProfileCommands commands{host, pane};
    std::function<int(QDialog&)> answerDialog;
    std::vector<QDialog*> shown;
};

TEST_F(ProfilePane, TheListHoldsEveryFileOfTheMicrophonesModel) {
    ASSERT_EQ(list().rowCount(), 2);
    EXPECT_EQ(list().profileAt(0)->name, "One");
    // The file that does not parse has its row, empty but for its path.
    EXPECT_EQ(list().profileAt(1)->name, "");
    EXPECT_EQ(list().profileAt(1)->path, (host.folder.path() / "Alder" / "Alder_B.xml").string());

    host.product = "Oak";
    commands.fillList();
    EXPECT_EQ(list().rowCount(), 0);
    host.serial.clear();
    host.product = "Cedar";
    commands.fillList();
    EXPECT_EQ(list().rowCount(), 0);  // no microphone selected
}

TEST_F(ProfilePane, RowsShowNameAboveDescriptionWithTooltipsOfEighty) {
    profiles::CProfile profile;
    profile.name = "Voice";
    profile.description = std::string(100, 'x');
    const QRect row(0, 64, 200, kProfileRowHeight);
    EXPECT_EQ(profileRowZoneAt(row, {5, 70}), ProfileRowZone::Name);
    EXPECT_EQ(profileRowZoneAt(row, {150, 90}), ProfileRowZone::Description);
    EXPECT_EQ(profileRowToolTip(profile, ProfileRowZone::Name), "Voice");
    EXPECT_EQ(profileRowToolTip(profile, ProfileRowZone::Description).size(), 80);

    QImage image(200, kProfileRowHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    paintProfileRow(painter, QRect(0, 0, 200, kProfileRowHeight), profile, false, false);
    painter.end();
    EXPECT_EQ(image.pixel(10, 10), qRgb(0x1E, 0x1E, 0x1E));  // left of the texts: background
}

TEST_F(ProfilePane, CommandsFollowTheRowAndTheMicrophone) {
    EXPECT_TRUE(commands.canSave());
    EXPECT_FALSE(commands.canApply());
    EXPECT_FALSE(commands.canRename());
    pane.updateMenu();
    for (QAction* action : pane.contextMenu()->actions())
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();

    selectRow(0);
    EXPECT_TRUE(commands.canApply());
    EXPECT_TRUE(commands.canRename());
    pane.updateMenu();
    for (QAction* action : pane.contextMenu()->actions())
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();

    host.started = false;
    EXPECT_FALSE(commands.canSave());
    host.serial.clear();
    EXPECT_FALSE(commands.canApply());
    EXPECT_TRUE(commands.canRename());
}

TEST_F(ProfilePane, SavingMakesAFileAndARow) {
    answerDialog = [this](QDialog& dialog) {
        auto& save = dynamic_cast<CProfileSaveDlg&>(dialog);
        EXPECT_FALSE(save.saveButton()->isEnabled());
        save.nameEdit()->setText(QStringLiteral("Booth"));
        EXPECT_TRUE(save.saveButton()->isEnabled());
        host.serial.clear();
        save.nameEdit()->setText(QStringLiteral("Booth "));
        EXPECT_FALSE(save.saveButton()->isEnabled());  // no microphone selected any more
        host.serial = "SN1001";
        save.nameEdit()->setText(QStringLiteral("Booth"));
        save.descriptionEdit()->setText(QStringLiteral("dry"));
        return QDialog::Accepted;
    };
    commands.save();
    ASSERT_EQ(list().rowCount(), 3);
    const profiles::CProfile& created = *list().profileAt(2);
    EXPECT_EQ(created.name, "Booth");
    EXPECT_EQ(created.description, "dry");
    EXPECT_EQ(created.value(settings::Setting::LPF), "5");
    EXPECT_TRUE(std::filesystem::exists(created.path));
    EXPECT_EQ(commands.data().paths("Alder").back(), created.path);

    host.description.reset();
    commands.save();
    ASSERT_EQ(host.userPrompts.messages.size(), 1u);
    EXPECT_EQ(host.userPrompts.messages[0].text, "Device isn't ready!");
    EXPECT_EQ(list().rowCount(), 3);
}

TEST_F(ProfilePane, RenamingRewritesTheRowsFile) {
    selectRow(0);
    answerDialog = [](QDialog& dialog) {
        auto& rename = dynamic_cast<CProfileNameDescDlg&>(dialog);
        EXPECT_EQ(rename.name(), "One");
        EXPECT_FALSE(rename.saveButton()->isEnabled());
        rename.descriptionEdit()->setText(QStringLiteral("new"));
        EXPECT_TRUE(rename.saveButton()->isEnabled());
        rename.nameEdit()->setText(QString());
        EXPECT_FALSE(rename.saveButton()->isEnabled());
        rename.nameEdit()->setText(QStringLiteral("Two"));
        return QDialog::Accepted;
    };
    commands.rename();
    profiles::CProfile reread;
    std::string error;
    ASSERT_TRUE(profiles::loadProfile(list().profileAt(0)->path, reread, error));
    EXPECT_EQ(reread.name, "Two");
    EXPECT_EQ(reread.description, "new");
    EXPECT_EQ(list().profileAt(0)->name, "Two");
}

TEST_F(ProfilePane, RemovalAsksAndKeepsARowWhoseFileIsAlreadyGone) {
    selectRow(0);
    const std::string first = list().profileAt(0)->path;
    host.userPrompts.answer = false;
    commands.remove();
    EXPECT_TRUE(std::filesystem::exists(first));
    host.userPrompts.answer = true;
    commands.remove();
    EXPECT_FALSE(std::filesystem::exists(first));
    ASSERT_EQ(list().rowCount(), 1);
    EXPECT_EQ(host.userPrompts.questions.back().text, "Remove selected profile ?");

    selectRow(0);
    std::filesystem::remove(list().profileAt(0)->path);  // deleted elsewhere
    commands.remove();
    EXPECT_EQ(list().rowCount(), 1);
    EXPECT_EQ(host.userPrompts.messages.size(), 1u);
}

TEST_F(ProfilePane, TheRibbonAsksBeforeApplyingADoubleClickDoesNot) {
    selectRow(0);
    host.userPrompts.answer = false;
    commands.apply();
    ASSERT_EQ(host.userPrompts.questions.size(), 1u);
    EXPECT_EQ(host.userPrompts.questions[0].text, "Apply data selected profile ?");
    EXPECT_TRUE(shown.empty());

    commands.setApplyPolicy({std::chrono::milliseconds(0), 9});
    answerDialog = [](QDialog& dialog) {
        auto& applying = dynamic_cast<CProfileApply&>(dialog);
        EXPECT_FALSE(applying.closeButton()->isEnabled());
        EXPECT_TRUE(testing::pumpUntil([&] { return applying.closeButton()->isEnabled(); }, 10s));
        return QDialog::Accepted;
    };
    emit list().rowDoubleClicked(0);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(host.userPrompts.questions.size(), 1u);
    EXPECT_EQ(host.device->changeCalls().size(), 22u);  // an Alder's steps
    EXPECT_EQ(host.device->changeCalls()[6], "Set_LPF(3)");
    EXPECT_EQ(host.reselections, 1);
}

}  // namespace
}  // namespace qm::studio
