#include <gtest/gtest.h>

#include <thread>

#include "common/sdk/identifiers.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/device_event_sink.h"
#include "studio/shell/list_fixture.h"
#include "studio/shell/string_table.h"

namespace qm::studio::testing {
namespace {

using Serials = std::vector<std::string>;

// Three microphones: two started Alders and an unplugged Cedar.
class DeviceListTest : public ::testing::TestWithParam<bool>, public ListFixture {
  protected:
    DeviceListTest() : ListFixture(GetParam()) {
        alder1_ = service().add("SN1001", "Alder");
        cedar_ = service().add("SN1002", "Cedar", false);
        alder2_ = service().add("SN1003", "alder");
        refresh();
    }

    bool showInactive() const { return GetParam(); }

    std::shared_ptr<FakeDevice> alder1_;
    std::shared_ptr<FakeDevice> cedar_;
    std::shared_ptr<FakeDevice> alder2_;
};

INSTANTIATE_TEST_SUITE_P(ShowInactive, DeviceListTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& flag) {
                             return flag.param ? "On" : "Off";
                         });

TEST_P(DeviceListTest, RefreshListsTheServicesMicrophonesByGroup) {
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(service().sinks.size(), 1u);
    EXPECT_EQ(connection.devices().size(), 3u);
    if (showInactive()) {
        EXPECT_EQ(listed(), (Serials{"SN1001", "SN1003", "SN1002"}));
        EXPECT_EQ(list.groupOf("SN1002"), 4);
    } else {
        EXPECT_EQ(listed(), (Serials{"SN1001", "SN1003"}));
    }
    EXPECT_EQ(list.groupOf("SN1003"), 2);  // "alder": case doesn't matter
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_P(DeviceListTest, AStoppedMicrophoneStaysAsInactiveOrLeavesAndOnlyItIsDeselected) {
    ASSERT_TRUE(list.selectDevice("SN1003"));
    ASSERT_EQ(selection.selected(), alder2_);
    alder1_->started = false;
    notify("SN1001", sdk::QM_NOTIFY_STOPPED);
    EXPECT_EQ(selection.selected(), alder2_) << "another microphone stopped";
    EXPECT_EQ(list.containsDevice("SN1001"), showInactive());
    if (showInactive()) {
        EXPECT_FALSE(list.stateOf("SN1001").active);
    }

    parts.calls.clear();
    alder2_->started = false;
    notify("sn1003", sdk::QM_NOTIFY_STOPPED);  // serial numbers compare without case
    EXPECT_EQ(selection.selected(), nullptr);
    EXPECT_EQ(list.selectedDevice(), nullptr);
    EXPECT_TRUE(parts.called("stopCapture"));
    EXPECT_EQ(list.containsDevice("SN1003"), showInactive());
    EXPECT_EQ(connection.devices().size(), 3u);  // still known to the studio
}

TEST_P(DeviceListTest, AStartedMicrophoneIsListedOnceAndAnUnknownOneChangesNothing) {
    cedar_->started = true;
    notify("SN1002", sdk::QM_NOTIFY_STARTED);
    EXPECT_TRUE(list.stateOf("SN1002").active);
    notify("SN1002", sdk::QM_NOTIFY_STARTED);
    EXPECT_EQ(list.deviceCount(), 3) << "never listed twice";

    list.deleteDevice("SN1001");
    notify("SN1001", sdk::QM_NOTIFY_STARTED);
    EXPECT_TRUE(list.containsDevice("SN1001")) << "one that left the list comes back";

    service().add("SN2000", "Birch");
    const Serials before = listed();
    notify("SN2000", sdk::QM_NOTIFY_STARTED);
    EXPECT_EQ(listed(), before);
    EXPECT_EQ(connection.devices().size(), 3u);
}

TEST_P(DeviceListTest, AProfileTheServiceAppliedReadsTheSelectedMicrophoneAnew) {
    ASSERT_TRUE(list.selectDevice("SN1003"));
    for (const int state : {sdk::QM_NOTIFY_PROFILE_APPLIED, sdk::QM_NOTIFY_PROFILE_FAILED}) {
        parts.calls.clear();
        notify("sn1003", state);
        EXPECT_TRUE(parts.called("panelsIdle")) << state;
        EXPECT_EQ(selection.selected(), alder2_);
    }
    parts.calls.clear();
    notify("SN1001", sdk::QM_NOTIFY_PROFILE_APPLIED);  // not the selected one
    EXPECT_TRUE(parts.calls.empty());
}

TEST_P(DeviceListTest, ANewMicrophoneIsFetchedOnceAndListedWhenStarted) {
    notify("SN1001", sdk::QM_NOTIFY_NEW);  // already listed
    notify("SN9999", sdk::QM_NOTIFY_NEW);  // the service doesn't have it
    EXPECT_EQ(list.deviceCount(), showInactive() ? 3 : 2);
    EXPECT_EQ(connection.devices().size(), 3u);

    service().add("SN2000", "Birch");
    service().add("SN2001", "Birch", false);
    const int enumerations = service().enumerations;
    notify("SN2000", sdk::QM_NOTIFY_NEW);
    EXPECT_EQ(service().enumerations, enumerations + 1);
    ASSERT_EQ(connection.devices().size(), 4u);
    EXPECT_EQ(connection.devices().back().device, service().devices[3]);
    EXPECT_EQ(list.groupOf("SN2000"), 3);
    notify("SN2001", sdk::QM_NOTIFY_NEW);
    EXPECT_FALSE(list.containsDevice("SN2001")) << "not started";
    EXPECT_EQ(connection.devices().size(), 5u);
}

TEST_P(DeviceListTest, RemovedMicrophoneLeavesListArrayAndSelection) {
    ASSERT_TRUE(list.selectDevice("SN1001"));
    notify("SN1001", sdk::QM_NOTIFY_REMOVED);
    EXPECT_FALSE(list.containsDevice("SN1001"));
    EXPECT_EQ(connection.find("SN1001"), nullptr);
    EXPECT_EQ(connection.devices().size(), 2u);
    EXPECT_EQ(selection.selected(), nullptr);

    notify("SN9999", sdk::QM_NOTIFY_REMOVED);
    EXPECT_EQ(connection.devices().size(), 2u);
}

TEST_P(DeviceListTest, RemovingAllInactiveRefreshesToStartedMicrophonesOnly) {
    ASSERT_TRUE(list.selectDevice("SN1001"));
    // Enabled while a listed microphone isn't started.
    EXPECT_EQ(controller.commandEnabled(ids::kRemoveAllInactive), showInactive());
    const int connects = connector.connects;
    if (showInactive()) {
        controller.executeCommand(ids::kRemoveAllInactive);
        ASSERT_EQ(prompts.questions.size(), 1u);
        EXPECT_EQ(prompts.questions[0].text, loadString(3779));
    } else {
        service().RemoveAllInactive();  // another client removed them
    }
    settle();
    EXPECT_EQ(service().removeAllCalls, 1);
    EXPECT_EQ(connector.connects, connects + 1);  // a full refresh
    EXPECT_EQ(listed(), (Serials{"SN1001", "SN1003"}));
    EXPECT_EQ(connection.devices().size(), 2u);
    EXPECT_EQ(selection.selected(), nullptr);
    EXPECT_FALSE(controller.commandEnabled(ids::kRemoveAllInactive));
}

TEST_P(DeviceListTest, ServiceStoppingEmptiesTheListAndSaysSoOnce) {
    const auto oldSinks = service().sinks;
    service().NotifyRelease();
    settle();
    EXPECT_EQ(list.deviceCount(), 0);
    EXPECT_FALSE(connection.connected());
    EXPECT_TRUE(service().sinks.empty());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("The qmMicHost service was completed!"));
    EXPECT_EQ(prompts.messages[0].icon, UserPrompts::Icon::Warning);

    // The service sends the same news again through the sink it still holds.
    for (const auto& sink : oldSinks) {
        EXPECT_EQ(sink->OnDeviceNotify(sdk::kReleaseNotifySerial, sdk::QM_NOTIFY_SERVICE_RELEASE),
                  sdk::S_OK);
    }
    settle();
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_P(DeviceListTest, NotificationsOfAReplacedSinkAreIgnored) {
    service().add("SN2000", "Rowan");
    const auto oldSink = service().sinks.front();
    // Queued before the refresh, handled after it: the refreshed list is newer than they are.
    EXPECT_EQ(oldSink->OnDeviceNotify("SN1001", sdk::QM_NOTIFY_STOPPED), sdk::S_OK);
    EXPECT_EQ(oldSink->OnDeviceNotify("SN1003", sdk::QM_NOTIFY_REMOVED), sdk::S_OK);
    controller.Refresh();
    EXPECT_EQ(oldSink->OnDeviceNotify("SN2000", sdk::QM_NOTIFY_REMOVED), sdk::S_OK);
    settle();
    EXPECT_TRUE(list.containsDevice("SN1001"));
    EXPECT_TRUE(list.containsDevice("SN1003"));
    EXPECT_TRUE(list.containsDevice("SN2000"));
    EXPECT_EQ(connection.devices().size(), 4u);
    ASSERT_EQ(service().sinks.size(), 1u);
    EXPECT_NE(service().sinks.front(), oldSink);
}

TEST_P(DeviceListTest, AServiceThatLeavesTheBusIsReportedOnceAndItsReturnRefreshes) {
    controller.watchService();
    ASSERT_TRUE(connector.watched());
    ASSERT_TRUE(list.selectDevice("SN1001"));
    const auto oldSinks = service().sinks;

    connector.announce(false);  // killed: no release notification comes
    settle();
    EXPECT_EQ(list.deviceCount(), 0);
    EXPECT_EQ(selection.selected(), nullptr);
    EXPECT_FALSE(connection.connected());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, loadString(3743));
    // A release that comes after all, or the name lost twice, says nothing more.
    for (const auto& sink : oldSinks) {
        EXPECT_EQ(sink->OnDeviceNotify(sdk::kReleaseNotifySerial, sdk::QM_NOTIFY_SERVICE_RELEASE),
                  sdk::S_OK);
    }
    connector.announce(false);
    settle();
    EXPECT_EQ(prompts.messages.size(), 1u);

    connector.announce(true);
    settle();
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(list.deviceCount(), showInactive() ? 3 : 2);
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_P(DeviceListTest, NotificationsThatComeDuringARefreshAreHandledAfterIt) {
    service().whileAdvising = [this] {
        service().whileAdvising = nullptr;
        service().add("SN2000", "Birch");
        service().notify("SN2000", sdk::QM_NOTIFY_NEW);
        alder1_->started = false;
        service().notify("SN1001", sdk::QM_NOTIFY_STOPPED);
    };
    refresh();
    EXPECT_TRUE(list.containsDevice("SN2000"));
    EXPECT_EQ(list.containsDevice("SN1001"), showInactive());
    EXPECT_FALSE(list.stateOf("SN1001").active);
}

TEST_P(DeviceListTest, TheListShowsWhatWasLastReadUntilNewsComes) {
    alder1_->friendlyName = "Renamed elsewhere";
    list.redrawAll();
    settle();
    EXPECT_EQ(list.stateOf("SN1001").friendlyName, QStringLiteral("Desk microphone"));
    alder1_->started = false;
    notify("SN1001", sdk::QM_NOTIFY_STOPPED);
    cedar_->started = true;
    notify("SN1002", sdk::QM_NOTIFY_STARTED);
    if (showInactive()) {
        EXPECT_EQ(list.stateOf("SN1001").friendlyName, QStringLiteral("Renamed elsewhere"));
    }
    EXPECT_TRUE(list.stateOf("SN1002").active);
    EXPECT_TRUE(connection.isStarted("SN1002"));
    EXPECT_FALSE(connection.isStarted("SN1001"));
}

TEST(DeviceListNoServiceTest, RunsWithAnEmptyListAndNoMessage) {
    ListFixture fixture;
    fixture.connector.running = false;
    fixture.refresh();
    EXPECT_FALSE(fixture.connection.connected());
    EXPECT_EQ(fixture.controller.sink(), nullptr);
    EXPECT_TRUE(fixture.prompts.messages.empty());
    EXPECT_TRUE(fixture.connector.service->sinks.empty());

    fixture.controller.onServicePresence(false);  // not connected: nothing to say
    EXPECT_TRUE(fixture.prompts.messages.empty());
}

TEST(DeviceListGroupTest, UnknownProductsGoToTheOtherGroupUnidentifiedOnesAreNotListed) {
    ListFixture fixture;
    fixture.service().add("SN1", "Spruce");
    fixture.service().add("SN2", "ROWAN");
    fixture.service().add("SN3", "Rowan");
    fixture.service().add("SN4", "CP2114 USB-Audio Bridge");
    fixture.service().add("SN5", "Alder")->nameFails = true;  // its identity can't be read
    fixture.refresh();
    EXPECT_EQ(fixture.list.groupOf("SN1"), 0);
    EXPECT_EQ(fixture.list.groupOf("SN2"), 6);
    EXPECT_EQ(fixture.list.groupOf("SN3"), 6);
    EXPECT_EQ(fixture.list.groupOf("SN4"), 1);
    // Groups in their fixed order, the other group last; empty groups are not shown.
    EXPECT_EQ(fixture.listed(), (Serials{"SN4", "SN2", "SN3", "SN1"}));
    EXPECT_TRUE(fixture.list.groupVisible(0));
    EXPECT_FALSE(fixture.list.groupVisible(2));
}

TEST(DeviceListCommandTest, RemovingTheSelectedInactiveMicrophoneAsksFirst) {
    ListFixture fixture;
    auto cedar = fixture.service().add("SN1", "Cedar", false);
    fixture.service().add("SN2", "Cedar");
    fixture.refresh();

    EXPECT_FALSE(fixture.controller.commandEnabled(ids::kRemoveInactive));  // none selected
    fixture.list.selectDevice("SN2");
    EXPECT_FALSE(fixture.controller.commandEnabled(ids::kRemoveInactive));  // started
    fixture.list.selectDevice("SN1");
    EXPECT_TRUE(fixture.controller.commandEnabled(ids::kRemoveInactive));

    fixture.prompts.answer = false;
    fixture.controller.executeCommand(ids::kRemoveInactive);
    EXPECT_TRUE(fixture.service().removed.empty());
    fixture.prompts.answer = true;
    fixture.controller.executeCommand(ids::kRemoveInactive);
    fixture.settle();
    ASSERT_EQ(fixture.service().removed.size(), 1u);
    EXPECT_EQ(fixture.service().removed[0], cedar);
    ASSERT_EQ(fixture.prompts.questions.size(), 2u);
    EXPECT_EQ(fixture.prompts.questions[1].text, QStringLiteral("Remove an inactive device ?"));
    EXPECT_EQ(fixture.prompts.questions[1].icon, UserPrompts::Icon::Question);
}

TEST(DeviceListCommandTest, RenameEditsFriendlyNameAndDescription) {
    ListFixture fixture;
    auto alder = fixture.service().add("SN1", "Alder");
    fixture.refresh();
    EXPECT_TRUE(fixture.controller.commandEnabled(ids::kRenameDevice));
    fixture.controller.executeCommand(ids::kRenameDevice);  // nothing selected: no dialog
    EXPECT_TRUE(fixture.prompts.editTitles.empty());

    fixture.list.selectDevice("SN1");
    fixture.controller.executeCommand(ids::kRenameDevice);
    fixture.settle();
    EXPECT_EQ(fixture.prompts.editedFrom.first, QStringLiteral("Desk microphone"));
    EXPECT_EQ(fixture.prompts.editedFrom.second, QStringLiteral("Studio A"));
    EXPECT_EQ(alder->friendlyName, "Booth mic");
    EXPECT_EQ(alder->description, "Room 2");
    EXPECT_EQ(fixture.list.stateOf("SN1").friendlyName, QStringLiteral("Booth mic"));
}

TEST(DeviceEventSinkTest, PostsToTheMainThreadAndIgnoresUnknownStates) {
    QObject context;
    std::vector<std::pair<int, std::string>> received;
    std::thread::id handlerThread;
    auto sink = std::make_shared<CDeviceEventSink>(
        &context,
        [&](std::uint64_t number, int state, const std::string& serial) {
            EXPECT_EQ(number, 7u);
            handlerThread = std::this_thread::get_id();
            received.emplace_back(state, serial);
        },
        7);
    std::thread binding([&] {
        for (const int state : {-2, -1, 0, 1, 2, 3, 4, 5, 6, 7}) {
            EXPECT_EQ(sink->OnDeviceNotify("SN" + std::to_string(state), state), sdk::S_OK);
        }
    });
    binding.join();
    EXPECT_TRUE(received.empty());  // nothing runs on the binding's thread
    deliver();
    ASSERT_EQ(received.size(), 8u);
    EXPECT_EQ(received.front(), (std::pair<int, std::string>{-1, "SN-1"}));
    EXPECT_EQ(received.back(), (std::pair<int, std::string>{6, "SN6"}));
    EXPECT_EQ(handlerThread, std::this_thread::get_id());

    sink->detach();
    sink->OnDeviceNotify("SN1", 1);
    deliver();
    EXPECT_EQ(received.size(), 8u);
}

}  // namespace
}  // namespace qm::studio::testing
