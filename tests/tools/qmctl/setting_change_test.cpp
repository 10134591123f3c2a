#include "tools/qmctl/setting_change.h"

#include <gtest/gtest.h>

#include "common/settings/setting_table.h"
#include "fake_service.h"
#include "tools/qmctl/exit_codes.h"

namespace qm::qmctl {
namespace {

using settings::Setting;
using testing::FakeDevice;

// What qmctl reports is the call it made (each setting's call is checked by the profile steps).
TEST(SettingChange, TheShownCallIsTheCallMade) {
    for (const Setting setting :
         {Setting::DirVolume, Setting::EQ_3_GAIN, Setting::EQ_5_BW_MODE, Setting::TPA}) {
        FakeDevice device;
        EXPECT_EQ(sdk::sendSettingChange(device, setting, 7), sdk::S_OK);
        EXPECT_EQ(device.calls(), std::vector<std::string>{sdk::settingCallFor(setting, 7).text()});
    }
}

TEST(SettingChange, TheReadOnlyLevelMakesNoCall) {
    FakeDevice device;
    EXPECT_EQ(sdk::sendSettingChange(device, Setting::ALC_VOLUME, 1), sdk::E_INVALIDARG);
    EXPECT_TRUE(device.calls().empty());
}

TEST(SettingChange, AnAcknowledgedChangeNeedsNoReset) {
    FakeDevice device;
    const ChangeOutcome outcome = changeLikeThePanels(device, Setting::EQ_3_GAIN, 200);
    EXPECT_EQ(device.calls(), (std::vector<std::string>{"Set_EQ_GAIN(3, 200)", "GetLastStatus"}));
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_FALSE(outcome.resetResult);
    EXPECT_EQ(exitCodeOf(outcome), kExitOk);
}

TEST(SettingChange, AMissingAcknowledgementResetsTheStatus) {
    FakeDevice device;
    device.lastStatus = sdk::E_FAIL;
    const ChangeOutcome outcome = changeLikeThePanels(device, Setting::LPF, 5);
    EXPECT_EQ(device.calls(),
              (std::vector<std::string>{"Set_LPF(5)", "GetLastStatus", "ResetStatus"}));
    EXPECT_EQ(outcome.changeResult, sdk::S_OK);
    EXPECT_EQ(outcome.lastStatus, sdk::E_FAIL);
    EXPECT_EQ(outcome.resetResult, sdk::S_OK);
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_EQ(exitCodeOf(outcome), kExitChangeRefused);

    // S_FALSE is not 0 either.
    device.lastStatus = sdk::S_FALSE;
    EXPECT_EQ(exitCodeOf(changeLikeThePanels(device, Setting::LPF, 5)), kExitChangeRefused);
}

TEST(SettingChange, AFailedChangeCallIsFollowedUpAsThePanelsDo) {
    FakeDevice device;
    device.changeResult = sdk::E_NOINTERFACE;  // not started
    device.lastStatus = sdk::E_NOINTERFACE;
    const ChangeOutcome outcome = changeLikeThePanels(device, Setting::Volume, 145);
    EXPECT_EQ(device.calls(),
              (std::vector<std::string>{"SetVolume(145)", "GetLastStatus", "ResetStatus"}));
    EXPECT_EQ(exitCodeOf(outcome), kExitCallFailed);

    // The registry step failed, but the frame went out and was acknowledged: still a failure.
    FakeDevice stored;
    stored.changeResult = sdk::E_INVALIDARG;
    const ChangeOutcome notStored = changeLikeThePanels(stored, Setting::TPA, 1);
    EXPECT_TRUE(notStored.acknowledged());
    EXPECT_EQ(exitCodeOf(notStored), kExitCallFailed);
}

TEST(SettingChange, ACallThatNeverReachedTheServiceStopsThere) {
    FakeDevice device;
    device.everyCall = ipc::kServiceUnavailable;
    const ChangeOutcome gone = changeLikeThePanels(device, Setting::LPF, 1);
    EXPECT_EQ(device.calls(), std::vector<std::string>{"Set_LPF(1)"});
    EXPECT_FALSE(gone.lastStatus);
    EXPECT_EQ(exitCodeOf(gone), kExitServiceUnavailable);

    FakeDevice slow;
    slow.lastStatus = ipc::kCallTimedOut;
    const ChangeOutcome unanswered = changeLikeThePanels(slow, Setting::LPF, 1);
    EXPECT_EQ(slow.calls(), (std::vector<std::string>{"Set_LPF(1)", "GetLastStatus"}));
    EXPECT_EQ(exitCodeOf(unanswered), kExitCallFailed);
}

}  // namespace
}  // namespace qm::qmctl
