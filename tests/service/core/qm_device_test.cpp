#include <algorithm>
#include <thread>

#include "common/sdk/hresult.h"
#include "device_fixture.h"
#include "hooked_bridges.h"
#include "service/core/qm_device.h"

using namespace std::chrono_literals;

namespace qm::core::testing {
namespace {

using sdk::E_INVALIDARG;
using sdk::E_NOINTERFACE;
using sdk::S_FALSE;
using sdk::S_OK;
using settings::Setting;

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class QMDeviceTest : public DeviceFixture {
  protected:
    std::shared_ptr<CQMDevice> makeDevice() { return std::make_shared<CQMDevice>(environment()); }

    // A device for a plugged microphone, started on its bridge and initialised.
    std::shared_ptr<CQMDevice> startedDevice(const std::string& model, const std::string& serial) {
        auto mic = rig.plug(model, serial);
        auto device = makeDevice();
        device->SetIdentity(serial, model);
        device->StartDevice(static_cast<int>(rig.bus().plugged().size() - 1));
        waitInitialised(*device);
        return device;
    }

    // The initial read runs on its own thread; with the virtual clock it takes no real time.
    static void waitInitialised(CQMDevice& device) {
        ASSERT_TRUE(device.waitInitialReadEnded(kReadWait));
        ASSERT_EQ(device.IsInitialized(), S_OK);
    }
    // An initial read that fails ends by itself after its failed step, leaving the device
    // uninitialised.
    static void waitFailedRead(CQMDevice& device) {
        ASSERT_TRUE(device.waitInitialReadEnded(kReadWait));
        EXPECT_EQ(device.IsInitialized(), S_FALSE);
    }
    static constexpr Duration kReadWait = std::chrono::minutes(1);
};

TEST_F(QMDeviceTest, MissingCacheKeyStillStartsTheLog) {
    setLogFolder();
    auto device = makeDevice();
    device->LoadCacheData("SN1");
    EXPECT_TRUE(device->log().IsRunning());
    EXPECT_EQ(device->log().Name(), "SN1 - ");
    std::string name = "x";
    EXPECT_EQ(device->GetName(name), S_OK);
    EXPECT_EQ(name, "");
    settings::DeviceSettings expected;
    expected[Setting::Volume] = 0x91;
    EXPECT_EQ(device->settingsSnapshot(), expected);
}

TEST_F(QMDeviceTest, NoValidLogFolderNoDeviceLog) {
    registry::Key config = configKey();
    EXPECT_EQ(
        config.setValue("LogFolder", registry::Value{registry::ValueType::Binary, {'/', 0, 0, 0}}),
        registry::ERROR_SUCCESS);
    auto device = makeDevice();
    device->LoadCacheData("SN1");
    EXPECT_FALSE(device->log().IsRunning());
}

TEST_F(QMDeviceTest, CacheLoadTakesOnlyValidValues) {
    registry::Key key = deviceKey("SN7");
    EXPECT_EQ(registry::writeString(key, "Name", "birch"), registry::ERROR_SUCCESS);
    EXPECT_EQ(registry::writeString(key, "FriendlyName", "Desk mic"), registry::ERROR_SUCCESS);
    // Unterminated description: ignored.
    EXPECT_EQ(
        key.setValue("Description", registry::Value{registry::ValueType::Sz, {'a', 0, 'b', 0}}),
        registry::ERROR_SUCCESS);
    EXPECT_EQ(registry::writeDword(key, "LPF", 0x1FF), registry::ERROR_SUCCESS);
    // Wrong types: ignored.
    EXPECT_EQ(registry::writeString(key, "HPF_1", "3"), registry::ERROR_SUCCESS);
    EXPECT_EQ(key.setValue("HPF_2", registry::Value{registry::ValueType::Binary, {4, 0, 0, 0}}),
              registry::ERROR_SUCCESS);
    // A Birch caches its direction but not TPA.
    EXPECT_EQ(registry::writeDword(key, "Beam", 2), registry::ERROR_SUCCESS);
    EXPECT_EQ(registry::writeDword(key, "TPA", 9), registry::ERROR_SUCCESS);
    auto device = makeDevice();
    device->LoadCacheData("SN7");
    const auto s = device->settingsSnapshot();
    EXPECT_EQ(s[Setting::LPF], 0xFF);
    EXPECT_EQ(s[Setting::HPF_1], 0);
    EXPECT_EQ(s[Setting::HPF_2], 0);
    EXPECT_EQ(s[Setting::Beam], 2);
    EXPECT_EQ(s[Setting::TPA], 0);
    EXPECT_EQ(s[Setting::Volume], 0x91) << "missing volume keeps the normal level";
    std::string text;
    EXPECT_EQ(device->GetFriendlyName(text), S_OK);
    EXPECT_EQ(text, "Desk mic");
    EXPECT_EQ(device->GetDescription(text), S_OK);
    EXPECT_EQ(text, "");
}

TEST_F(QMDeviceTest, StartReadsEverySettingAndWritesTheCache) {
    setLogFolder();
    auto mic = rig.plug("Larch", "SN2");
    mic->updateSettings({{Setting::LPF, 6}, {Setting::TPA, 0x44}, {Setting::ALC_VOLUME, 0x80}});

    auto device = makeDevice();
    device->SetIdentity("SN2", "Larch");
    device->OpenDeviceLog();
    EXPECT_EQ(device->IsStarted(), S_FALSE);
    device->StartDevice(0);
    waitInitialised(*device);
    EXPECT_EQ(device->IsStarted(), S_OK);
    EXPECT_EQ(device->bridgeIndex(), 0);
    EXPECT_EQ(device->settingsSnapshot(), mic->settings());

    registry::Key key = deviceKey("SN2");
    EXPECT_EQ(registry::readDword(key, "LPF"), 6u);
    EXPECT_EQ(registry::readDword(key, "TPA"), 0x44u);
    EXPECT_EQ(registry::readDword(key, "ALC_VOLUME"), 0x80u);
    EXPECT_FALSE(registry::readDword(key, "DirVolume").has_value()) << "a Larch has no direction";
    EXPECT_EQ(registry::readString(key, "ContainerID"),
              mic->identity().containerId.toBracedString());

    std::string vid, pid, path;
    EXPECT_EQ(device->GetVendorID(vid), S_OK);
    EXPECT_EQ(device->GetProductID(pid), S_OK);
    EXPECT_EQ(device->GetHardwareID(path), S_OK);
    EXPECT_EQ(vid + ":" + pid, "10C4:EAB0");

    device.reset();  // stops the log, so every line is written
    const auto lines = logs.lines("SN2 - ");
    EXPECT_TRUE(contains(lines, "<Info> StartDevice - HidUart_Open - OK"));
    EXPECT_TRUE(contains(lines, "<Info> InitProc - Get_Ext_TPA"));
    EXPECT_FALSE(contains(lines, "<Info> InitProc - GetDirection"));
    EXPECT_TRUE(contains(lines, "<Info> ----------  UpdateCacheData  ------------"));
    EXPECT_TRUE(contains(lines, "<Info> StartDevice - TimeoutRead user = 150"));
}

TEST_F(QMDeviceTest, TimeoutReadOfTheWrongTypeMeans150) {
    ASSERT_EQ(registry::writeString(configKey(), "TimeoutRead", "40"), registry::ERROR_SUCCESS);
    ASSERT_EQ(registry::writeDword(configKey(), "TimeoutWrite", 70), registry::ERROR_SUCCESS);
    auto device = startedDevice("Cedar", "SN3");
    unsigned char v = 0;
    const TimePoint before = clock.now();
    ASSERT_EQ(device->GetStatusDSP(v), S_OK);
    EXPECT_EQ(clock.now() - before, 160ms);

    ASSERT_EQ(registry::writeDword(configKey(), "TimeoutRead", 40), registry::ERROR_SUCCESS);
    device->StartDevice(0);
    waitInitialised(*device);
    const TimePoint again = clock.now();
    ASSERT_EQ(device->GetStatusDSP(v), S_OK);
    EXPECT_EQ(clock.now() - again, 50ms);
}

TEST_F(QMDeviceTest, CachedContainerIdIsNotLookedUpAgain) {
    std::string id = "unchanged";
    EXPECT_EQ(makeDevice()->GetContainerID(id), S_OK);
    EXPECT_EQ(id, "unchanged") << "no id yet: no string";
    EXPECT_EQ(registry::writeString(deviceKey("SN4"), "ContainerID",
                                    "{11111111-2222-3333-4444-555555555555}"),
              registry::ERROR_SUCCESS);
    rig.plug("Cedar", "SN4");
    auto device = makeDevice();
    device->LoadCacheData("SN4");
    device->SetIdentity("SN4", "Cedar");
    device->StartDevice(0);
    waitInitialised(*device);
    EXPECT_EQ(device->GetContainerID(id), S_OK);
    EXPECT_EQ(id, "{11111111-2222-3333-4444-555555555555}");
}

TEST_F(QMDeviceTest, XmlPerModel) {
    auto cedar = startedDevice("Cedar", "C1");
    std::string xml;
    ASSERT_EQ(cedar->GetDeviceXML(xml), S_OK);
    const auto s = cedar->settingsSnapshot();
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Device SN=\"C1\" ContainerID=\"" +
        rig.microphone("C1")->identity().containerId.toBracedString() +
        "\" Name=\"Cedar\" FriendlyName=\"\" Description=\"\" LPF=\"0\" HPF_1=\"0\" HPF_2=\"0\" "
        "DspVolume=\"145\" EQ_NOTCH=\"0\" EQ_1_GAIN=\"26\" EQ_2_GAIN=\"26\" EQ_3_GAIN=\"26\" "
        "EQ_4_GAIN=\"26\" EQ_5_GAIN=\"26\" EQ_POWER=\"0\" EQ_1_BW_MODE=\"17\" "
        "EQ_2_BW_MODE=\"19\" EQ_3_BW_MODE=\"21\" EQ_4_BW_MODE=\"23\" EQ_5_BW_MODE=\"25\" "
        "ALC_RECOVERY=\"21\" ALC_MODE=\"0\" ALC_REF_VALUE=\"145\" OUT_VOLUME=\"" +
        std::to_string(s[Setting::OUT_VOLUME]) + "\" />\n";
    EXPECT_EQ(xml, expected);

    auto bridge = startedDevice("CP2114 USB-Audio Bridge", "B1");
    ASSERT_EQ(bridge->GetDeviceXML(xml), S_OK);
    EXPECT_EQ(xml.find("DirVolume"), std::string::npos);
    EXPECT_EQ(xml.find("OUT_VOLUME"), std::string::npos);
    EXPECT_EQ(xml.find("ALC_VOLUME"), std::string::npos);

    auto unknown = makeDevice();
    unknown->SetIdentity("U1", "Maple");
    ASSERT_EQ(unknown->SetFriendlyName("Tom & Jerry <\"1\">"), S_OK);
    EXPECT_EQ(unknown->GetDeviceXML(xml), S_FALSE) << "never read: cached values only";
    EXPECT_NE(xml.find("FriendlyName=\"Tom &amp; Jerry &lt;&quot;1&quot;>\""), std::string::npos);
    EXPECT_EQ(xml.find("TPA"), std::string::npos);
    EXPECT_NE(xml.find("ALC_REF_VALUE=\"0\" />"), std::string::npos);
}

TEST_F(QMDeviceTest, InitializedStaysAcrossRestart) {
    auto device = startedDevice("Alder", "A1");
    device->StopDevice();
    EXPECT_EQ(device->IsStarted(), S_FALSE);
    EXPECT_EQ(device->bridgeIndex(), -1);
    rig.microphone("A1")->setFaults({.noReply = sim::FaultPlan::kForever});
    device->StartDevice(0);
    EXPECT_EQ(device->IsInitialized(), S_OK);
}

TEST_F(QMDeviceTest, FailedStepKeepsEarlierStepsAndWritesNoCache) {
    setLogFolder();
    auto mic = rig.plug("Cedar", "F1");
    mic->updateSettings({{Setting::Volume, 0x60}, {Setting::ALC_MODE, 0x20}, {Setting::LPF, 3}});
    // DSP and ALC answer, the filters do not
    mic->setFaults({.noReply = 1, .passFrames = 2});

    auto device = makeDevice();
    device->LoadCacheData("F1");
    device->StartDevice(0);
    waitFailedRead(*device);
    EXPECT_EQ(device->settingsSnapshot()[Setting::Volume], 0x60);
    EXPECT_EQ(device->settingsSnapshot()[Setting::ALC_MODE], 0x20);
    EXPECT_EQ(device->settingsSnapshot()[Setting::LPF], 0) << "step 4 failed";
    EXPECT_FALSE(registry::readDword(deviceKey("F1"), "Volume").has_value()) << "no cache written";

    device->SetIdentity("F1", "Cedar");
    device->StartDevice(0);  // the next start reads again
    waitInitialised(*device);
    EXPECT_EQ(device->settingsSnapshot()[Setting::LPF], 3);
    device.reset();
    const auto lines = logs.lines("F1 - ");
    EXPECT_TRUE(contains(lines, "<Error> InitProc - GetStatusHPF_LPF"));
}

TEST_F(QMDeviceTest, UnansweredDirectionIsNotStoredAsRead) {
    auto mic = rig.plug("Alder", "D1");
    mic->updateSettings({{Setting::DirVolume, 0x33}});
    auto cached = deviceKey("D1");
    EXPECT_EQ(registry::writeString(cached, "Name", "Alder"), registry::ERROR_SUCCESS);
    EXPECT_EQ(registry::writeDword(cached, "DirVolume", 0x22), registry::ERROR_SUCCESS);
    // the direction request goes unanswered
    mic->setFaults({.noReply = 1});

    auto device = makeDevice();
    device->LoadCacheData("D1");
    device->StartDevice(0);
    waitFailedRead(*device);
    EXPECT_EQ(device->settingsSnapshot()[Setting::DirVolume], 0x22) << "the cached value stays";
    EXPECT_EQ(registry::readDword(cached, "DirVolume"), 0x22u);
}

// A start gives up on an initial read that hangs in the bridge. That old read ends later, just
// as the next start begins a new one on the bridge it let go: the new read still completes.
TEST_F(QMDeviceTest, LateInitialReadDoesNotCancelTheNewerOne) {
    rig.plug("Cedar", "L1");
    Gate reads;
    Gate closes;
    HookedBridges bridges(rig.bus());
    bridges.beforeRead = [&] { reads.pass(); };
    bridges.afterClose = [&] { closes.pass(); };
    auto device = std::make_shared<CQMDevice>(
        DeviceEnvironment{*store, bridges, rig.endpoints(), clock, logs});
    device->SetIdentity("L1", "Cedar");

    reads.close();
    device->StartDevice(0);
    ASSERT_TRUE(reads.awaitWaiting()) << "the first read hangs in its first exchange";
    std::thread restart([&] { device->StartDevice(0); });
    clock.awaitBlocked(1);                    // the restart waits for the first read to end...
    clock.advance(CQMDevice::kInitStopWait);  // ...gives up on it, and finds the bridge busy
    restart.join();
    EXPECT_EQ(device->IsStarted(), S_FALSE);

    closes.close();
    reads.open();  // the first read's exchange ends and lets the bridge go...
    ASSERT_TRUE(closes.awaitWaiting());
    device->StartDevice(0);  // ...a new start opens it...
    closes.open();           // ...and only then does the first read end
    waitInitialised(*device);
}

TEST_F(QMDeviceTest, ChangesStoreRegistryThenMemory) {
    auto device = startedDevice("Rowan", "R1");
    ASSERT_EQ(device->Set_LPF(9), S_OK);
    EXPECT_EQ(device->GetLastStatus(), S_OK);
    EXPECT_EQ(registry::readDword(deviceKey("R1"), "LPF"), 9u);
    EXPECT_EQ(device->settingsSnapshot()[Setting::LPF], 9);
    ASSERT_EQ(device->SetVolumeMute(), S_OK);
    EXPECT_EQ(device->GetLastStatus(), S_OK);
    EXPECT_EQ(registry::readDword(deviceKey("R1"), "Volume"), 4u);
    std::string xml;
    EXPECT_EQ(device->GetDeviceXML(xml), S_OK);
    EXPECT_NE(xml.find("LPF=\"9\""), std::string::npos);
    EXPECT_NE(xml.find("DspVolume=\"4\""), std::string::npos);
    // A Rowan has no direction, but a change is stored for every model.
    EXPECT_EQ(device->SetBeam(1), S_OK);
    EXPECT_EQ(registry::readDword(deviceKey("R1"), "Beam"), 1u);
    EXPECT_EQ(device->GetLastStatus(), sdk::E_FAIL) << "the microphone refused it";
}

TEST_F(QMDeviceTest, ClosedChannelFailsButIdentityAnswers) {
    auto device = startedDevice("Cedar", "K1");
    device->StopDevice();
    unsigned char v = 0;
    EXPECT_EQ(device->GetStatusDSP(v), E_NOINTERFACE);
    EXPECT_EQ(device->Set_LPF(1), E_NOINTERFACE);
    std::string text;
    EXPECT_EQ(device->GetVendorID(text), E_NOINTERFACE);
    EXPECT_EQ(device->GetDeviceSN(text), S_OK);
    EXPECT_EQ(text, "K1");
    EXPECT_EQ(device->GetName(text), S_OK);
    EXPECT_EQ(text, "Cedar");
}

TEST_F(QMDeviceTest, BridgeIndexBySerialAndManufacturer) {
    auto foreignMaker = sim::MicrophoneIdentity::make("Cedar", "Z9");
    foreignMaker.manufacturer = "Other Inc";
    rig.plug(foreignMaker);
    rig.plug("Cedar", "X1");
    auto device = makeDevice();
    int index = 7;
    EXPECT_EQ(device->GetDeviceIndexHID(index), E_INVALIDARG) << "no serial yet";
    EXPECT_EQ(index, -1);
    device->SetIdentity("x1", "Cedar");
    EXPECT_EQ(device->GetDeviceIndexHID(index), S_OK);
    EXPECT_EQ(index, 1);
    device->SetIdentity("Z9", "Cedar");
    EXPECT_EQ(device->GetDeviceIndexHID(index), E_INVALIDARG) << "foreign manufacturer";
}

TEST_F(QMDeviceTest, ResetDefaultRestartsAndRereads) {
    auto device = startedDevice("Birch", "RB");
    ASSERT_EQ(device->Set_LPF(5), S_OK);
    ASSERT_EQ(device->ResetDefault(), S_OK);
    waitInitialised(*device);
    EXPECT_EQ(device->IsStarted(), S_OK);
    EXPECT_EQ(registry::readDword(deviceKey("RB"), "LPF"), 0u);
    EXPECT_EQ(rig.microphone("RB")->resetCount(), 1);
}

TEST_F(QMDeviceTest, IdentitySettersStoreInTheCache) {
    auto device = makeDevice();
    device->SetIdentity("I1", "Alder");
    ASSERT_EQ(device->SetDescription("Interview \xC3\xA9t\xC3\xA9"), S_OK);
    EXPECT_EQ(registry::readString(deviceKey("I1"), "Description"), "Interview \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(registry::readString(deviceKey("I1"), "Name"), "Alder");
}

}  // namespace
}  // namespace qm::core::testing
