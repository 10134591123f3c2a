#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <thread>

#include "common/ipc/recording_sink.h"
#include "common/sdk/hresult.h"
#include "common/sdk/identifiers.h"
#include "device_fixture.h"
#include "hooked_bridges.h"
#include "service/core/late_release.h"
#include "service/core/mm_notification_client.h"
#include "service/core/quillmere_sdk.h"

using namespace std::chrono_literals;

namespace qm::core::testing {
namespace {

using ipc::testing::RecordingSink;
using ipc::testing::ReleaseOnExit;
using sdk::E_INVALIDARG;
using sdk::E_POINTER;
using sdk::S_FALSE;
using sdk::S_OK;
using settings::Setting;
using Notification = RecordingSink::Notification;

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::size_t countOf(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

class DeviceManagerTest : public DeviceFixture {
  protected:
    DeviceManagerTest() { setLogFolder(folder() + "/logs"); }
    ~DeviceManagerTest() override { rig.endpoints().setListener(nullptr); }

    // A manager whose device thread's work the test runs by hand, listening to the endpoints.
    std::shared_ptr<CQuillmereSDK> makeManager() {
        auto manager = CQuillmereSDK::create(environment(), CQuillmereSDK::DeviceThread::LeaveOut);
        listener = std::make_unique<CMMNotificationClient>(manager);
        rig.endpoints().setListener(listener.get());
        EXPECT_EQ(manager->AdviceSink(sink), S_OK);
        return manager;
    }
    void release(std::shared_ptr<CQuillmereSDK>& manager) {
        rig.endpoints().setListener(nullptr);
        listener.reset();
        manager.reset();
    }
    // A manager that has found the plugged microphones and read them.
    std::shared_ptr<CQuillmereSDK> startedManager() {
        auto manager = makeManager();
        manager->DoUpdateDeviceList(0);
        waitStarted(*manager);
        return manager;
    }
    // Waits for the initial reads (no real time on the virtual clock).
    static void waitStarted(CQuillmereSDK& manager) {
        for (const auto& device : manager.devices())
            ASSERT_TRUE(device->waitInitialReadEnded(std::chrono::minutes(1)));
    }

    std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
    std::unique_ptr<CMMNotificationClient> listener;
};

TEST_F(DeviceManagerTest, StartFindsPluggedMicrophonesAsNewThenKnown) {
    rig.plug("Alder", "A1");
    rig.plug("Cedar", "C1");
    auto manager = makeManager();
    EXPECT_EQ(manager->IsInitialize(), S_OK);
    manager->DoUpdateDeviceList(0);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"A1", 2}, {"C1", 2}}));
    waitStarted(*manager);
    release(manager);

    sink->clear();
    manager = makeManager();
    manager->DoUpdateDeviceList(0);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"A1", 1}, {"C1", 1}}))
        << "device mode 0 keeps them cached";
    release(manager);
}

TEST_F(DeviceManagerTest, DeviceModeOneForgetsTheCacheAtStart) {
    rig.plug("Alder", "A1");
    auto manager = startedManager();
    release(manager);

    EXPECT_EQ(registry::writeDword(configKey(), "DeviceMode", 1), registry::ERROR_SUCCESS);
    sink->clear();
    manager = makeManager();
    EXPECT_EQ(manager->deviceMode(), 1u);
    manager->DoUpdateDeviceList(0);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"A1", 2}}));
    waitStarted(*manager);

    // Unplugged with device mode 1: stopped and removed with its cache.
    sink->clear();
    rig.unplug("A1");
    manager->DoUpdateDeviceList(0);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"A1", 3}}));
    EXPECT_TRUE(manager->devices().empty());
    registry::Key key;
    EXPECT_NE(
        store->openKey(registry::Hive::LocalMachine, std::string(settings::kDevicesKey) + "\\A1",
                       registry::Access::Read, key),
        registry::ERROR_SUCCESS);
    release(manager);
}

TEST_F(DeviceManagerTest, UnplugStopsAndReplugRestartsWithTheMicrophonesValues) {
    auto mic = rig.plug("Birch", "B1");
    auto manager = startedManager();
    auto device = manager->devices().at(0);

    sink->clear();
    rig.unplug("B1");
    manager->DoUpdateDeviceList(0);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"B1", 0}}));
    EXPECT_EQ(manager->devices().size(), 1u) << "kept while unplugged";
    EXPECT_EQ(device->IsStarted(), S_FALSE);
    EXPECT_EQ(device->bridgeIndex(), -1);

    mic->updateSettings({{Setting::LPF, 8}});  // changed elsewhere while unplugged

    sink->clear();
    rig.plug("Birch", "B1");
    manager->DoUpdateDeviceList(0);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"B1", 1}}));
    waitStarted(*manager);
    EXPECT_EQ(registry::readDword(deviceKey("B1"), "LPF"), 8u) << "cache replaced by the read";
    EXPECT_EQ(device->settingsSnapshot()[Setting::LPF], 8);
    release(manager);
}

TEST_F(DeviceManagerTest, LogitechBridgeIsIgnoredAtStart) {
    auto logitech = sim::MicrophoneIdentity::make("Cedar", "L1");
    logitech.manufacturer = "LOGITECH";
    rig.plug(logitech);
    rig.plug("Cedar", "C2");
    auto manager = makeManager();
    manager->DoUpdateDeviceList(0);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"C2", 2}}));
    release(manager);
}

TEST_F(DeviceManagerTest, ForeignEndpointStaysQueuedWithTwoWarningsEachTick) {
    auto manager = makeManager();
    const std::string endpoint = rig.plugForeignEndpoint("webcam");
    const std::string id =
        endpoints::usbDeviceContainerId("046D", "0A44", "webcam").toPlainString();
    manager->DoUpdateDeviceList(1);
    manager->DoUpdateDeviceList(1);
    EXPECT_TRUE(sink->received().empty());
    release(manager);
    const auto lines = logs.lines("qmMicHost");
    EXPECT_EQ(
        countOf(lines, "<Warning> DoDeviceChange => Container ID:" + id + " [device not found]"),
        2u);
    EXPECT_EQ(countOf(lines, "<Warning> DoDeviceChange => ReAdd GUID to queue - Container ID:" +
                                 id + " [device not found]"),
              2u);
    EXPECT_TRUE(contains(lines, "<Warning> DoDeviceChange => Active new device ContainerID:" + id +
                                    " [HID UART device not found]"));
    (void)endpoint;
}

TEST_F(DeviceManagerTest, PluggedMicrophoneIsAnnouncedOnceAndStaysRemoved) {
    auto manager = makeManager();
    rig.plug("Cedar", "P1");  // a first plug: the endpoint is added, then active
    manager->DoUpdateDeviceList(0);
    manager->DoUpdateDeviceList(1);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"P1", 2}}))
        << "found once, not again at the next tick";
    sink->clear();
    EXPECT_EQ(manager->RemoveDeviceBySN("P1"), S_OK);
    manager->DoUpdateDeviceList(1);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"P1", 3}}));
    EXPECT_TRUE(manager->devices().empty()) << "a removed microphone does not come back by itself";
    release(manager);
}

TEST_F(DeviceManagerTest, QueuedContainerFoundLaterStartsTheMicrophone) {
    auto manager = makeManager();
    // The endpoint arrives before the bridge answers: plug the endpoint alone first.
    auto identity = sim::MicrophoneIdentity::make("Rowan", "R9");
    rig.endpoints().connect(sim::VirtualRig::endpointIdOf("R9"), identity.containerId);
    manager->DoUpdateDeviceList(1);
    EXPECT_TRUE(sink->received().empty());
    rig.bus().plug(identity);
    rig.endpoints().rememberUsbDevice("10C4", "EAB0", "R9", identity.containerId);
    manager->DoUpdateDeviceList(1);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"R9", 2}}));
    release(manager);
}

TEST_F(DeviceManagerTest, OneBridgeScanPerTickWhateverIsQueued) {
    for (int i = 0; i < 4; ++i)
        rig.plug("Cedar", "M" + std::to_string(i));
    auto manager = startedManager();
    for (int i = 0; i < 6; ++i)
        rig.plugForeignEndpoint("f" + std::to_string(i));
    const auto before = rig.bus().getStringCalls();
    manager->DoUpdateDeviceList(1);
    EXPECT_EQ(rig.bus().getStringCalls() - before, 4u * 3u) << "three strings per bridge, once";
    release(manager);
}

TEST_F(DeviceManagerTest, RemovalsAndTheirNotifications) {
    rig.plug("Cedar", "C1");
    rig.plug("Alder", "A1");
    auto manager = startedManager();
    sink->clear();

    EXPECT_EQ(manager->RemoveAllInactive(), S_OK);
    EXPECT_TRUE(sink->received().empty()) << "nothing inactive, nothing sent";

    std::shared_ptr<sdk::IEnumQMDevice> devices;
    ASSERT_EQ(manager->EnumQMDevice(&devices), S_OK);
    std::shared_ptr<sdk::IQMDevice> first;
    ASSERT_EQ(devices->Next(1, &first, nullptr), S_OK);
    EXPECT_EQ(manager->RemoveDevice(first), S_OK);
    EXPECT_EQ(manager->RemoveDevice(first), E_POINTER) << "no longer in the list";
    std::string serial;
    EXPECT_EQ(first->GetDeviceSN(serial), sdk::S_OK);
    EXPECT_EQ(serial, "C1") << "a removed object still answers its getters";
    unsigned char volume = 0;
    EXPECT_EQ(first->GetStatusDSP(volume), sdk::E_NOINTERFACE);

    EXPECT_EQ(manager->RemoveDeviceBySN("a1"), S_OK);
    EXPECT_EQ(manager->RemoveDeviceBySN("nobody"), E_POINTER);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"C1", 3}, {"a1", 3}}));
    EXPECT_EQ(manager->EnumQMDevice(&devices), E_INVALIDARG);
    EXPECT_EQ(manager->EnumQMDevice(nullptr), E_POINTER);
    release(manager);
}

TEST_F(DeviceManagerTest, RemoveAllInactiveRemovesOnlyStoppedOnes) {
    rig.plug("Cedar", "C1");
    rig.plug("Alder", "A1");
    auto manager = startedManager();
    rig.unplug("C1");
    manager->DoUpdateDeviceList(0);
    sink->clear();
    EXPECT_EQ(manager->RemoveAllInactive(), S_OK);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"1234567", 4}}));
    ASSERT_EQ(manager->devices().size(), 1u);
    EXPECT_EQ(manager->devices()[0]->serial(), "A1");
    release(manager);
}

TEST_F(DeviceManagerTest, SinksNotifyReleaseAndLogOperations) {
    auto manager = makeManager();
    auto second = std::make_shared<RecordingSink>();
    auto third = std::make_shared<RecordingSink>();
    auto never = std::make_shared<RecordingSink>();
    EXPECT_EQ(manager->AdviceSink(second), S_OK);
    EXPECT_EQ(manager->AdviceSink(third), S_OK);
    EXPECT_EQ(manager->AdviceSink(third), S_OK);  // twice: notified twice
    EXPECT_EQ(manager->UnadviceSink(never), S_OK);
    EXPECT_EQ(manager->AdviceSink(nullptr), E_POINTER);

    std::vector<std::string> order;
    manager->DoUpdateNotify("X", 1);
    EXPECT_EQ(third->received().size(), 2u);
    EXPECT_EQ(manager->UnadviceSink(third), S_OK);
    manager->DoUpdateNotify("Y", 0);
    EXPECT_EQ(third->received().size(), 3u) << "one of the two entries is gone";

    EXPECT_EQ(manager->NotifyRelease(), S_OK);
    EXPECT_EQ(sink->received().back(), (Notification{"000000", -1}));
    EXPECT_EQ(third->received().back(), (Notification{"000000", -1}));
    manager->DoUpdateNotify("Z", 1);
    EXPECT_EQ(sink->received().back(), (Notification{"Z", 1})) << "sinks stay advised";

    std::string version;
    EXPECT_EQ(manager->GetVersion(version), S_OK);
    EXPECT_EQ(version, "1.0.0.4");
    EXPECT_EQ(manager->WriteLog(sdk::leWarning, "100% sure %s %n"), S_OK);
    release(manager);
    const auto lines = logs.lines("qmMicHost");
    EXPECT_TRUE(contains(lines, "<Warning> 100% sure %s %n"));
    EXPECT_TRUE(contains(lines, "<Info> >> NotifyRelease =>> [adviced client count: 3]"));
    const auto first =
        std::find(lines.begin(), lines.end(), "<Info> >> NotifyRelease client ID: 3");
    const auto last = std::find(lines.begin(), lines.end(), "<Info> >> NotifyRelease client ID: 1");
    EXPECT_LT(first, last) << "from the last sink to the first";
    EXPECT_TRUE(contains(lines, "<Info> Unadvice Sink client: #3"));
}

TEST_F(DeviceManagerTest, LogFolderDefaultAndMove) {
    registry::Key config = configKey();
    EXPECT_EQ(config.deleteValue("LogFolder"), registry::ERROR_SUCCESS);
    ::setenv("QM_LOG_DIR", (folder() + "/default-logs").c_str(), 1);
    auto manager = makeManager();
    ::unsetenv("QM_LOG_DIR");
    std::string current;
    EXPECT_EQ(manager->GetLogFolder(current), S_OK);
    EXPECT_EQ(current, folder() + "/default-logs");
    EXPECT_EQ(registry::readString(config, "LogFolder"), current) << "the default is stored";
    EXPECT_TRUE(std::filesystem::is_directory(current));

    const std::string moved = folder() + "/moved/deeper";
    EXPECT_EQ(manager->SetLogFolder(moved), S_OK);
    EXPECT_TRUE(std::filesystem::is_directory(moved));
    EXPECT_EQ(registry::readString(config, "LogFolder"), moved);
    EXPECT_EQ(manager->log().Name(), "qmMicHost ");
    release(manager);
}

// Clients move the logs at the same time while microphones arrive: nothing crashes, and in the
// end every log, the manager's folder and the stored value agree.
TEST_F(DeviceManagerTest, ConcurrentLogFolderChangesAgreeInTheEnd) {
    rig.plug("Cedar", "C1");
    auto manager = makeManager();
    manager->DoUpdateDeviceList(0);
    std::vector<std::thread> clients;
    for (int t = 0; t < 4; ++t) {
        clients.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) {
                const std::string moved = folder() + "/logs" + std::to_string((t + i) % 3);
                EXPECT_EQ(manager->SetLogFolder(moved), S_OK);
            }
        });
    }
    for (int round = 0; round < 8; ++round) {
        rig.plug("Alder", "P" + std::to_string(round));
        manager->DoUpdateDeviceList(0);  // a new device opens its log
    }
    for (auto& client : clients)
        client.join();
    std::string current;
    EXPECT_EQ(manager->GetLogFolder(current), S_OK);
    EXPECT_EQ(registry::readString(configKey(), "LogFolder"), current);
    EXPECT_EQ(manager->log().Folder(), current + "/");
    for (const auto& device : manager->devices())
        EXPECT_EQ(device->log().Folder(), current + "/") << device->serial();
    release(manager);
}

TEST_F(DeviceManagerTest, ClientTextCannotStartALineOfItsOwn) {
    auto manager = makeManager();
    EXPECT_EQ(manager->WriteLog(sdk::leInfo, "first\n09:00:00:000 --> <Error> forged\rlast"), S_OK);
    release(manager);
    const auto lines = logs.lines("qmMicHost");
    EXPECT_TRUE(contains(lines, "<Info> first\\n09:00:00:000 --> <Error> forged\\rlast"));
    EXPECT_FALSE(contains(lines, "<Error> forged"));
}

TEST_F(DeviceManagerTest, LogFolderMustBeAnAbsoluteFolderTheServiceCanMake) {
    auto manager = makeManager();
    std::string before;
    EXPECT_EQ(manager->GetLogFolder(before), S_OK);
    const std::string file = folder() + "/plain-file";
    std::ofstream(file) << "not a folder";

    EXPECT_EQ(manager->SetLogFolder("relative/logs"), E_INVALIDARG);
    EXPECT_EQ(manager->SetLogFolder(""), E_INVALIDARG);
    EXPECT_EQ(manager->SetLogFolder(file), sdk::HRESULT_FROM_WIN32(sdk::ERROR_DIRECTORY))
        << "an existing file is no folder";
    EXPECT_EQ(manager->SetLogFolder(file + "/below"),
              sdk::HRESULT_FROM_WIN32(sdk::ERROR_PATH_NOT_FOUND))
        << "nothing can be made below a file";

    std::string after;
    EXPECT_EQ(manager->GetLogFolder(after), S_OK);
    EXPECT_EQ(after, before);
    EXPECT_EQ(registry::readString(configKey(), "LogFolder"), before);
    EXPECT_TRUE(manager->log().IsRunning());
    EXPECT_EQ(manager->log().Name(), "qmMicHost") << "the log was left alone";
    release(manager);
}

// A serial number is data from a device: whatever it holds, its log stays in the log folder, its
// cache is one key right under the device cache, and a restart gives it back unchanged.
TEST_F(DeviceManagerTest, SerialsStayInTheirFolderAndKey) {
    const std::string longSerial(200, 'x');
    const std::string longSlashes(200, '/');
    const std::vector<std::string> serials = {
        "../escaped", "a\\b", "..", "\\", "ctl\x01\n\x7f", "%2Fescaped", longSerial, longSlashes};
    for (const std::string& serial : serials)
        rig.plug("Cedar", serial);
    auto manager = startedManager();
    ASSERT_EQ(manager->devices().size(), serials.size());

    const std::string logFolder = folder() + "/logs/";
    for (const std::string& path : logs.paths()) {
        ASSERT_EQ(path.rfind(logFolder, 0), 0u) << path;
        const std::string name = path.substr(logFolder.size());
        EXPECT_EQ(name.find('/'), std::string::npos) << path;
        EXPECT_LE(name.size(), 255u);
    }
    std::vector<std::string> keys;
    EXPECT_EQ(configKey().enumSubkeys(keys), S_OK);
    EXPECT_EQ(keys.size(), serials.size());
    for (const std::string& key : keys) {
        EXPECT_EQ(key.find('\\'), std::string::npos) << key;
        EXPECT_LE(key.size(), 255u);
        std::vector<std::string> below;
        EXPECT_EQ(deviceKey(key).enumSubkeys(below), S_OK);
        EXPECT_TRUE(below.empty()) << key;
    }
    EXPECT_EQ(manager->RemoveDeviceBySN("\\"), S_OK);
    keys.clear();
    EXPECT_EQ(configKey().enumSubkeys(keys), S_OK);
    EXPECT_EQ(keys.size(), serials.size() - 1) << "only that one's cache is gone";
    release(manager);

    // Back from the cache after a restart, each with its own serial.
    manager = makeManager();
    std::set<std::string> loaded;
    for (const auto& device : manager->devices())
        loaded.insert(device->serial());
    for (const std::string& serial : serials) {
        if (serial != "\\" && serial != longSlashes) {  // removed; too long to name in full
            EXPECT_TRUE(loaded.contains(serial)) << serial;
        }
    }
    release(manager);
}

// A device thread stuck in a client's notification does not hold up the manager's release for
// longer than its bounded wait.
TEST_F(DeviceManagerTest, ReleaseGivesUpOnAStuckDeviceThread) {
    auto stuck = std::make_shared<RecordingSink>();
    auto manager = CQuillmereSDK::create(environment());
    ReleaseOnExit unstick(*stuck);  // before the manager goes, also on a failed assertion
    EXPECT_EQ(manager->AdviceSink(stuck), S_OK);
    stuck->hang();
    rig.plug("Cedar", "K1");
    manager->DoDeviceChange(sim::VirtualRig::endpointIdOf("K1"), endpoints::DEVICE_STATE_ACTIVE);
    ASSERT_TRUE(stuck->waitUntilHanging()) << "the device thread is in the sink";

    auto release = std::async(std::launch::async, [&] { manager.reset(); });
    // Time moves past the release's bounded wait for the device thread, which the sink holds,
    // until the release returns (it may not be waiting yet when time first moves).
    bool released = false;
    for (int i = 0; i < 20 && !released; ++i) {
        clock.advance(CQuillmereSDK::kThreadStopWait);
        released = release.wait_for(100ms) == std::future_status::ready;
    }
    EXPECT_TRUE(released) << "the release waited for the stuck thread";
    stuck->release();
    release.get();
    EXPECT_EQ(LateRelease::instance().reap(std::chrono::seconds(10)), 0u)
        << "destroyed once its thread ended";
}

// A client removes a microphone while the device thread removes it for its unplug: the removal
// is announced once.
TEST_F(DeviceManagerTest, RemovalRacingTheDeviceThreadIsAnnouncedOnce) {
    EXPECT_EQ(registry::writeDword(configKey(), "DeviceMode", 1), registry::ERROR_SUCCESS);
    rig.plug("Cedar", "R1");
    auto manager = startedManager();
    auto device = manager->devices().at(0);
    rig.unplug("R1");  // queues the device thread's removal
    // The device thread runs its queue while the client's removal is announcing.
    auto reentering = std::make_shared<RecordingSink>();
    EXPECT_EQ(manager->AdviceSink(reentering), S_OK);
    reentering->onNextCall([&] { manager->DoUpdateDeviceList(0); });
    EXPECT_EQ(manager->RemoveDevice(device), S_OK);
    const auto got = reentering->received();
    EXPECT_EQ(std::count(got.begin(), got.end(), Notification{"R1", 3}), 1);
    EXPECT_TRUE(manager->devices().empty());
    release(manager);
}

// The timer finds the bridge of a stopped microphone while a client removes every inactive one:
// a removed microphone is not started again.
TEST_F(DeviceManagerTest, TimerDoesNotStartAMicrophoneRemovedMeanwhile) {
    auto mic = rig.plug("Cedar", "T1");
    HookedBridges bridges(rig.bus());
    auto manager =
        CQuillmereSDK::create(DeviceEnvironment{*store, bridges, rig.endpoints(), clock, logs},
                              CQuillmereSDK::DeviceThread::LeaveOut);
    EXPECT_EQ(manager->AdviceSink(sink), S_OK);
    manager->DoUpdateDeviceList(0);
    waitStarted(*manager);
    auto device = manager->devices().at(0);
    device->StopDevice();  // stopped, its bridge still there for the timer to find
    sink->clear();
    bool removeNow = true;
    bridges.beforeEnumeration = [&] {
        if (std::exchange(removeNow, false)) {
            EXPECT_EQ(manager->RemoveAllInactive(), S_OK);
        }
    };
    manager->DoUpdateDeviceList(1);
    EXPECT_EQ(sink->received(), (std::vector<Notification>{{"1234567", 4}}));
    EXPECT_EQ(device->IsStarted(), S_FALSE);
    EXPECT_TRUE(manager->devices().empty());
    bridges.beforeEnumeration = nullptr;
    manager.reset();
}

TEST_F(DeviceManagerTest, DeviceThreadHandlesPlugAndUnplugByItself) {
    auto manager = CQuillmereSDK::create(environment());
    CMMNotificationClient client(manager);
    rig.endpoints().setListener(&client);
    EXPECT_EQ(manager->AdviceSink(sink), S_OK);
    rig.plug("Larch", "L7");
    EXPECT_TRUE(sink->waitForSequence({{"L7", 2}}, 10s));
    rig.unplug("L7");
    EXPECT_TRUE(sink->waitForSequence({{"L7", 2}, {"L7", 0}}, 10s));
    rig.endpoints().setListener(nullptr);
    manager.reset();
}

// Clients change and read one microphone from several threads while it is unplugged and
// plugged again: nothing crashes or hangs, exchanges never interleave on the channel, and every
// call answers with one of the results the interface defines.
TEST_F(DeviceManagerTest, StressClientsWhileUnpluggedAndReplugged) {
    auto mic = rig.plug("Birch", "S1");
    auto manager = startedManager();
    std::shared_ptr<sdk::IQMDevice> device = manager->devices().at(0);

    const std::set<sdk::HRESULT> allowed = {
        S_OK,        S_FALSE,      sdk::E_NOINTERFACE,
        sdk::E_FAIL, E_INVALIDARG, sdk::HRESULT_FROM_WIN32(sdk::ERROR_NOT_FOUND)};
    std::atomic<bool> stop{false};
    std::atomic<int> unexpected{0};
    std::atomic<int> calls{0};
    std::vector<std::thread> clients;
    for (int t = 0; t < 4; ++t) {
        clients.emplace_back([&, t] {
            unsigned char a = 0, b = 0, c = 0, d = 0;
            for (int i = 0; !stop.load(); ++i) {
                sdk::HRESULT hr = S_OK;
                switch ((i + t) % 6) {
                    case 0:
                        hr = device->Set_LPF(static_cast<unsigned char>(i % 10));
                        break;
                    case 1:
                        hr = device->GetStatusALC(a, b, c, d);
                        break;
                    case 2:
                        hr = device->GetLastStatus();
                        break;
                    case 3:
                        hr = device->Set_EQ_GAIN(static_cast<unsigned char>(i % 6), 3);
                        break;
                    case 4:
                        hr = device->GetDirection(a, b, c);
                        break;
                    case 5:
                        hr = device->ResetWatchDog();
                        break;
                }
                if (!allowed.contains(hr))
                    ++unexpected;
                ++calls;
            }
        });
    }
    for (int round = 0; round < 10; ++round) {
        rig.unplug("S1");
        manager->DoUpdateDeviceList(0);
        rig.plug("Birch", "S1");
        manager->DoUpdateDeviceList(0);
        manager->DoUpdateDeviceList(1);
    }
    stop = true;
    for (auto& c : clients)
        c.join();
    EXPECT_EQ(unexpected.load(), 0);
    EXPECT_GT(calls.load(), 0);
    EXPECT_EQ(mic->interleavedExchanges(), 0);
    release(manager);
}

}  // namespace
}  // namespace qm::core::testing
