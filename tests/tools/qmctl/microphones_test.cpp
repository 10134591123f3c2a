#include "tools/qmctl/microphones.h"

#include <gtest/gtest.h>

#include "fake_service.h"

namespace qm::qmctl {
namespace {

using testing::FakeDevice;
using testing::FakeManager;

std::vector<std::string> serialsOf(const std::vector<ModelGroup>& groups) {
    std::vector<std::string> out;
    for (const ModelGroup& group : groups) {
        out.push_back(group.model + ":");
        for (const MicrophoneSummary& mic : group.microphones)
            out.push_back(mic.serial);
    }
    return out;
}

TEST(Microphones, AnEmptyListIsNoFailure) {
    FakeManager manager;
    std::vector<std::shared_ptr<sdk::IQMDevice>> devices;
    EXPECT_EQ(enumerateDevices(manager, devices), sdk::S_OK);
    EXPECT_TRUE(devices.empty());

    manager.enumResult = ipc::kCallTimedOut;
    EXPECT_EQ(enumerateDevices(manager, devices), ipc::kCallTimedOut);
}

TEST(Microphones, EnumeratesListsLongerThanOneBatch) {
    FakeManager manager;
    for (int i = 0; i < 37; ++i)
        manager.add("SN" + std::to_string(i), "Cedar");
    std::vector<std::shared_ptr<sdk::IQMDevice>> devices;
    ASSERT_EQ(enumerateDevices(manager, devices), sdk::S_OK);
    ASSERT_EQ(devices.size(), 37u);
    EXPECT_EQ(devices[36].get(), manager.devices[36].get());
}

TEST(Microphones, FindsBySerialWithoutRegardToCaseAndSkipsVanishedObjects) {
    FakeManager manager;
    auto gone = manager.add("SN1001", "Alder");
    gone->everyCall = ipc::kObjectDisconnected;
    auto wanted = manager.add("sn1001", "Alder");
    std::shared_ptr<sdk::IQMDevice> found;
    EXPECT_EQ(findDevice(manager, "SN1001", found), sdk::S_OK);
    EXPECT_EQ(found.get(), wanted.get());

    EXPECT_EQ(findDevice(manager, "SN1002", found), sdk::S_OK);
    EXPECT_FALSE(found);

    manager.add("SN1003", "Alder")->everyCall = ipc::kServiceUnavailable;
    EXPECT_EQ(findDevice(manager, "SN1003", found), ipc::kServiceUnavailable);
}

TEST(Microphones, GroupsKnownModelsInTheirOrderThenOthersByName) {
    std::vector<MicrophoneSummary> list = {
        {"S1", "Larch", "", true, true}, {"S2", "Zebra", "", true, true},
        {"S3", "alder", "", true, true}, {"S4", "CP2114 USB-Audio Bridge", "", true, true},
        {"S5", "", "", false, false},    {"S6", "LARCH", "", true, true},
        {"S7", "apple", "", true, true}, {"S8", "zebra", "", true, true},
        {"S9", "Birch", "", true, true},
    };
    EXPECT_EQ(serialsOf(groupByModel(list)),
              (std::vector<std::string>{"Alder:", "S3", "Birch:", "S9", "Larch:", "S1", "S6",
                                        "CP2114 USB-Audio Bridge:", "S4", "apple:", "S7",
                                        "Zebra:", "S2", "S8", ":", "S5"}));
    EXPECT_TRUE(groupByModel({}).empty());
}

TEST(Microphones, SummariesCarryStateAndLeaveOutRemovedObjects) {
    FakeManager manager;
    auto started = manager.add("SN1", "Cedar");
    started->friendlyName = "Booth";
    auto cached = manager.add("SN2", "Larch");
    cached->started = sdk::S_FALSE;
    cached->initialized = sdk::S_FALSE;
    auto reading = manager.add("SN3", "Larch");
    reading->initialized = sdk::S_FALSE;
    manager.add("SN4", "Alder")->everyCall = ipc::kObjectDisconnected;

    std::vector<MicrophoneSummary> summaries;
    ASSERT_EQ(summarizeAll(manager, summaries), sdk::S_OK);
    ASSERT_EQ(summaries.size(), 3u);
    EXPECT_EQ(summaries[0].friendlyName, "Booth");
    EXPECT_EQ(stateName(summaries[0].started, summaries[0].initialized), "started");
    EXPECT_EQ(stateName(summaries[1].started, summaries[1].initialized), "not started");
    EXPECT_EQ(stateName(summaries[2].started, summaries[2].initialized), "starting");
    // A microphone read once and stopped later is still not started.
    EXPECT_EQ(stateName(false, true), "not started");

    manager.add("SN5", "Alder")->everyCall = ipc::kCallTimedOut;
    EXPECT_EQ(summarizeAll(manager, summaries), ipc::kCallTimedOut);
}

TEST(Microphones, DetailsAskTheBridgeOnlyWhenStarted) {
    FakeDevice device;
    device.xml = "<Device SN=\"SN2\" Name=\"Cedar\" LPF=\"4\"/>";
    device.started = sdk::S_FALSE;
    device.xmlResult = sdk::S_FALSE;
    MicrophoneDetails details;
    std::string error;
    ASSERT_EQ(describeMicrophone(device, details, error), sdk::S_OK);
    EXPECT_TRUE(details.cachedValues);
    EXPECT_FALSE(details.started);
    EXPECT_FALSE(details.vendorId);
    EXPECT_FALSE(details.apiVersion);
    const std::vector<std::string> calls = device.calls();
    EXPECT_EQ(calls, (std::vector<std::string>{"GetDeviceXML", "IsStarted", "IsInitialized"}));

    FakeDevice live;
    live.xml = device.xml;
    live.vendorResult = sdk::E_NOINTERFACE;  // unplugged between the calls
    MicrophoneDetails liveDetails;
    ASSERT_EQ(describeMicrophone(live, liveDetails, error), sdk::S_OK);
    EXPECT_FALSE(liveDetails.cachedValues);
    EXPECT_FALSE(liveDetails.vendorId);
    EXPECT_EQ(liveDetails.productId, "EAB0");
    EXPECT_EQ(liveDetails.apiVersion, "0x01");  // the service's text carries the prefix twice
    EXPECT_EQ(liveDetails.firmwareVersion, "0x12");

    // A version answer that was no version reply leaves the strings empty: no version then.
    live.apiVersion.clear();
    live.firmwareVersion.clear();
    MicrophoneDetails noVersion;
    ASSERT_EQ(describeMicrophone(live, noVersion, error), sdk::S_OK);
    EXPECT_FALSE(noVersion.apiVersion);
}

TEST(Microphones, DetailsReportUnreadableDescriptionsAndFailedCalls) {
    FakeDevice device;
    device.xml = "not xml";
    MicrophoneDetails details;
    std::string error;
    EXPECT_EQ(describeMicrophone(device, details, error), sdk::E_FAIL);
    EXPECT_FALSE(error.empty());

    FakeDevice gone;
    gone.everyCall = ipc::kServiceUnavailable;
    std::string noError;
    EXPECT_EQ(describeMicrophone(gone, details, noError), ipc::kServiceUnavailable);
    EXPECT_TRUE(noError.empty());
}

}  // namespace
}  // namespace qm::qmctl
