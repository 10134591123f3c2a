// Bridge traffic recorded through the driver and replayed as a virtual microphone.
#include <gtest/gtest.h>

#include <sstream>

#include "common/runtime/virtual_clock.h"
#include "common/settings/system_paths.h"
#include "platform/hiduart/cp2114_driver.h"
#include "platform/hiduart/recording_hid_transport.h"
#include "platform/registry/store.h"
#include "service/core/qm_device.h"
#include "sim/replay_hid_transport.h"
#include "sim/simulated_endpoints.h"
#include "sim/virtual_hid_transport.h"
#include "support/memory_log_storage.h"
#include "support/temp_folder.h"

namespace qm::sim {
namespace {

using namespace std::chrono_literals;
using hiduart::RecordedEvent;
using Bytes = std::vector<std::uint8_t>;

// A device object on a bridge driver over `transport`, started and read once; its description.
std::string readThroughTheDriver(std::shared_ptr<hiduart::HidTransport> transport, Clock& clock,
                                 const std::filesystem::path& storeFolder) {
    registry::Store store(registry::StoreLocations::inFolder(storeFolder, "tester"));
    SimulatedEndpoints endpoints;
    qm::testing::MemoryLogStorage logs;
    hiduart::Cp2114Driver driver(std::move(transport), clock);
    core::CQMDevice device(core::DeviceEnvironment{store, driver, endpoints, clock, logs});
    device.SetIdentity("SN77", "Larch");
    device.StartDevice(0);
    EXPECT_TRUE(device.waitInitialReadEnded(std::chrono::minutes(1)));
    EXPECT_EQ(device.IsInitialized(), sdk::S_OK);
    std::string xml;
    EXPECT_EQ(device.GetDeviceXML(xml), sdk::S_OK);
    return xml;
}

TEST(RecordingReplay, ARecordedMicrophoneReplaysToTheSameDescription) {
    qm::testing::TempFolder folder;
    const std::string file = (folder.path() / "larch.rec").string();

    // A microphone with settings of its own, read through the driver while recorded.
    VirtualClock clock;
    auto microphone =
        std::make_shared<VirtualMicrophone>(MicrophoneIdentity::make("Larch", "SN77"), clock);
    settings::DeviceSettings values = microphone->settings();
    for (std::size_t i = 0; i < settings::kSettingCount; ++i)
        values[static_cast<settings::Setting>(i)] = static_cast<std::uint8_t>(0x20 + 3 * i);
    microphone->setSettings(values);
    microphone->setFaults({.replyDelay = 7ms});
    auto virtualBridges = std::make_shared<VirtualHidTransport>(clock);
    virtualBridges->plug(microphone);
    auto writer = std::make_shared<hiduart::RecordingWriter>(file, clock);
    ASSERT_TRUE(writer->good());
    const std::string recorded = readThroughTheDriver(
        std::make_shared<hiduart::RecordingHidTransport>(virtualBridges, writer), clock,
        folder.path() / "recorded");
    EXPECT_NE(recorded.find("LPF=\"41\""), std::string::npos) << recorded;

    // The recording alone, on a clock of its own, tells the same.
    std::string error;
    const auto recording = hiduart::readRecordingFile(file, error);
    ASSERT_TRUE(recording) << error;
    ASSERT_EQ(recording->devices.size(), 1u);
    EXPECT_EQ(recording->devices[0].info.serialNumber, "SN77");
    VirtualClock replayClock;
    const std::string replayed =
        readThroughTheDriver(std::make_shared<ReplayHidTransport>(*recording, replayClock),
                             replayClock, folder.path() / "replayed");
    EXPECT_EQ(replayed, recorded);
}

TEST(RecordingReplay, AnswersComeAfterTheirRecordedDelays) {
    std::istringstream text(
        "# quillmere bridge recording 1\n"
        "device 1 vid=10C4 pid=EAB0 path=/dev/hidraw7 serial=S%201 manufacturer=QUILLMERE "
        "product=Cedar\n"
        "0.000000 1 open\n"
        "0.000100 1 get-feature 46 0E 01\n"
        "0.010000 1 out 02 08 00\n"
        "0.050000 1 in 02 00 91\n"
        "0.060000 1 out 01 03\n"
        "0.061000 1 gone\n");
    std::string error;
    const auto recording = hiduart::readRecording(text, error);
    ASSERT_TRUE(recording) << error;
    EXPECT_EQ(recording->devices[0].info.serialNumber, "S 1");
    EXPECT_EQ(recording->events[3],
              (RecordedEvent{50ms, 1, RecordedEvent::Kind::In, Bytes{0x02, 0x00, 0x91}}));

    VirtualClock clock;
    ReplayHidTransport replay(*recording, clock);
    ASSERT_EQ(replay.enumerate().size(), 1u);
    auto device = replay.open("/dev/hidraw7");
    ASSERT_NE(device, nullptr);
    Bytes report(64);
    report[0] = 0x46;
    EXPECT_EQ(device->getFeatureReport(report).status, hiduart::HidIoStatus::Ok);
    EXPECT_EQ(report[1], 0x0E);

    const Bytes request = {0x02, 0x08, 0x00};
    ASSERT_EQ(device->writeOutputReport(request, 100ms).status, hiduart::HidIoStatus::Ok);
    const TimePoint sent = clock.now();
    EXPECT_EQ(device->readInputReport(report, 30ms).status, hiduart::HidIoStatus::TimedOut);
    EXPECT_EQ(device->readInputReport(report, 30ms).status, hiduart::HidIoStatus::Ok);
    EXPECT_EQ(clock.now() - sent, 40ms) << "the reply came 40 ms after its request";
    EXPECT_EQ(Bytes(report.begin(), report.begin() + 4), (Bytes{0x02, 0x00, 0x91, 0x00}));

    ASSERT_EQ(device->writeOutputReport(Bytes{0x01, 0x03}, 100ms).status, hiduart::HidIoStatus::Ok);
    EXPECT_EQ(device->readInputReport(report, 30ms).status, hiduart::HidIoStatus::Disconnected)
        << "unplugged 1 ms later, as recorded";
    EXPECT_TRUE(replay.enumerate().empty());
}

TEST(RecordingReplay, AMalformedLineIsNamed) {
    std::istringstream text("0.000000 1 open\n0.000001 1 out 2\n");
    std::string error;
    EXPECT_FALSE(hiduart::readRecording(text, error));
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
}

}  // namespace
}  // namespace qm::sim
