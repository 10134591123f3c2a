// Questions and dialogs run a nested event loop, so notifications are handled while they are
// open. A command that asked must check, once the answer comes, that what it asked about still
// holds; otherwise it does nothing.
#include <gtest/gtest.h>

#include "common/sdk/identifiers.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/device_list_controller.h"
#include "studio/shell/frame_fixture.h"
#include "studio/shell/pane_source.h"
#include "studio/shell/reset_flow.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/wait_dialog.h"

namespace qm::studio::testing {
namespace {

enum class Command { Reset, Rename, RemoveOne, RemoveAll };
enum class News { SelectedLeaves, ServiceRelease, InactiveRemoved };

class NestedLoopTest : public FrameFixture,
                       public ::testing::WithParamInterface<std::tuple<Command, News>> {
  protected:
    Command command() const { return std::get<0>(GetParam()); }
    News news() const { return std::get<1>(GetParam()); }
    // Reset and rename work on the started Alder, the removals on the unplugged Cedar.
    std::shared_ptr<FakeDevice> target() const {
        return command() == Command::Reset || command() == Command::Rename ? alder_ : cedar_;
    }

    void deliverNews() {
        FakeService& service = *connector_.service;
        switch (news()) {
            case News::SelectedLeaves:
                if (target()->started) {
                    target()->started = false;
                    service.notify(target()->serial, sdk::QM_NOTIFY_STOPPED);
                } else {
                    std::erase(service.devices, target());
                    service.notify(target()->serial, sdk::QM_NOTIFY_REMOVED);
                }
                break;
            case News::ServiceRelease:
                service.NotifyRelease();
                break;
            case News::InactiveRemoved:
                service.RemoveAllInactive();
                break;
        }
        settle();
    }

    void run(CMainFrame& frame) {
        switch (command()) {
            case Command::Reset:
                frame.onCommand(ids::kReset);
                break;
            case Command::Rename:
                frame.onCommand(ids::kRenameDevice);
                break;
            case Command::RemoveOne:
                frame.findChild<DeviceListController*>()->executeCommand(ids::kRemoveInactive);
                break;
            case Command::RemoveAll:
                frame.findChild<DeviceListController*>()->executeCommand(ids::kRemoveAllInactive);
                break;
        }
        settle();
    }
};

TEST_P(NestedLoopTest, NewsWhileTheQuestionIsOpenCancelsTheCommand) {
    CMainFrame& frame = start();
    ASSERT_TRUE(frame.sourcePane()->list()->selectDevice(target()->serial));
    settle();
    const int removeAllBefore = connector_.service->removeAllCalls;
    EXPECT_CALL(*alder_, ResetDefault()).Times(0);
    EXPECT_CALL(*target(), SetFriendlyName(::testing::_)).Times(0);
    EXPECT_CALL(*target(), SetDescription(::testing::_)).Times(0);

    prompts_.whileOpen = [this] { deliverNews(); };
    run(frame);

    ASSERT_EQ(prompts_.questions.size() + prompts_.editTitles.size(), 1u) << "the user was asked";
    EXPECT_TRUE(connector_.service->removed.empty());
    const int removeAllByNews = news() == News::InactiveRemoved ? 1 : 0;
    EXPECT_EQ(connector_.service->removeAllCalls, removeAllBefore + removeAllByNews);
    EXPECT_EQ(frame.findChild<CWaitDialog*>(), nullptr);
    EXPECT_TRUE(frame.isEnabled());
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<Command, News>>& info) {
    static const char* const kCommands[] = {"Reset", "Rename", "RemoveOne", "RemoveAll"};
    static const char* const kNews[] = {"SelectedLeaves", "ServiceRelease", "InactiveRemoved"};
    return std::string(kCommands[static_cast<int>(std::get<0>(info.param))]) +
           kNews[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(
    Commands, NestedLoopTest,
    ::testing::Combine(
        ::testing::Values(Command::Reset, Command::Rename, Command::RemoveOne, Command::RemoveAll),
        ::testing::Values(News::SelectedLeaves, News::ServiceRelease, News::InactiveRemoved)),
    caseName);

}  // namespace
}  // namespace qm::studio::testing
