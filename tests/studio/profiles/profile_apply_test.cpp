#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "profile_fakes.h"
#include "studio/profiles/profile_apply_dialog.h"
#include "support/gate.h"

namespace qm::studio {
namespace {

using ::testing::_;
using namespace std::chrono_literals;

profiles::CProfile cedarProfile() {
    profiles::CProfile profile;
    profile.name = "Room";
    profile.description = "warm";
    profile.model = "Cedar";
    for (std::size_t i = 0; i < settings::kSettingCount; ++i)
        profile.values[i] = std::to_string(10 + i);
    return profile;
}

CProfileApply::Start startFor(const std::shared_ptr<sdk::IQMDevice>& device) {
    CProfileApply::Start start;
    start.profile = cedarProfile();
    start.serial = "SN1002";
    start.open = [device](const std::string&) { return device; };
    start.clock = &Clock::real();
    start.policy.stepPause = std::chrono::milliseconds(0);
    return start;
}

TEST(ProfileApplyDialog, ShowsEachStepWithItsImageAndEndsWithCloseEnabled) {
    auto device = std::make_shared<profiles::testing::ScriptedDevice>();
    device->refused = {5};
    ApplyWorkerRetirement retirement;
    CProfileApply dialog(startFor(device), retirement);
    int finished = 0;
    dialog.onFinished([&] { ++finished; });
    EXPECT_EQ(dialog.nameEdit()->text(), "Room");
    EXPECT_EQ(dialog.descriptionEdit()->text(), "warm");
    EXPECT_TRUE(dialog.running());
    ASSERT_TRUE(testing::pumpUntil([&] { return dialog.closeButton()->isEnabled(); }, 10s));

    EXPECT_EQ(finished, 1);
    QTreeWidget* tree = dialog.statusTree();
    ASSERT_EQ(tree->topLevelItemCount(), 21);  // 20 steps, one of them tried twice
    EXPECT_EQ(tree->topLevelItem(4)->text(0), "Apply profile HPF 1 filter error!");
    EXPECT_EQ(tree->topLevelItem(5)->text(0), "Apply profile HPF 1 filter sucessfully!");
    EXPECT_EQ(tree->topLevelItem(20)->text(0), "Apply profile analog output volume sucessfully!");
    std::vector<int> expected(21, 0);
    expected[4] = 1;
    EXPECT_EQ(dialog.itemImages(), expected);
    EXPECT_EQ(retirement.size(), 0u);
}

TEST(ProfileApplyDialog, TheAnimationWrapsWithinItsFrames) {
    EXPECT_EQ(nextAnimationImage(9), 3);
    ASSERT_EQ(applyImages().size(), 10u);
    EXPECT_FALSE(applyImages()[9].isNull());
}

TEST(ProfileApplyDialog, WithoutAMicrophoneOnlyCloseIsThere) {
    ApplyWorkerRetirement retirement;
    CProfileApply::Start start;
    start.profile = cedarProfile();
    CProfileApply dialog(std::move(start), retirement);
    EXPECT_FALSE(dialog.running());
    EXPECT_TRUE(dialog.closeButton()->isEnabled());
    EXPECT_EQ(dialog.statusTree()->topLevelItemCount(), 0);
}

TEST(ProfileApplyDialog, ADialogClosedDuringTheRunIsNeverTouchedAgain) {
    auto device = std::make_shared<profiles::testing::ScriptedDevice>();
    qm::testing::Gate gate;  // holds step 2's call until the test opens it
    gate.close();
    ON_CALL(*device, Set_ALC_RECOVERY(_)).WillByDefault([&](unsigned char) {
        gate.pass();
        return sdk::S_OK;
    });
    ApplyWorkerRetirement retirement;
    auto dialog = std::make_unique<CProfileApply>(startFor(device), retirement);
    int finished = 0;
    dialog->onFinished([&] { ++finished; });
    ASSERT_TRUE(gate.awaitWaiting());  // the worker is inside step 2's call

    // The window's close button stops the run; the dialog waits for it before closing.
    dialog->show();
    dialog->close();
    EXPECT_TRUE(dialog->isVisible());
    dialog.reset();  // destroyed all the same, with the worker still in its call
    EXPECT_EQ(retirement.size(), 1u);

    gate.open();
    ASSERT_TRUE(testing::pumpUntil(
        [&] {
            retirement.reap();
            return retirement.size() == 0;
        },
        10s));
    QApplication::processEvents();  // whatever was posted to the dialog is dropped
    EXPECT_EQ(finished, 0);
    // Step 2 (held at its call, so not recorded) ended with its acknowledgement; the stop came
    // before step 3.
    EXPECT_EQ(device->calls,
              (std::vector<std::string>{"SetVolume(16)", "GetLastStatus", "GetLastStatus"}));
}

}  // namespace
}  // namespace qm::studio
