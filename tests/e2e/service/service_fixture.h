#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/ipc/simulator_control.h"
#include "common/sdk/interfaces.h"
#include "support/child_process.h"
#include "support/private_bus.h"
#include "support/temp_folder.h"

// The end-to-end fixture: each test gets a private dbus-daemon and a scratch folder for the
// settings store, the logs and the install root, and starts the built qmMicHost on them with
// virtual microphones. Every wait is bounded by kBound; none sleeps a fixed time.
namespace qm::e2e {

using qm::testing::ChildProcess;
using qm::testing::cleanEnvironment;
using qm::testing::Completed;
using qm::testing::runToCompletion;

using namespace std::chrono_literals;

inline constexpr std::chrono::milliseconds kBound = 10s;
inline constexpr const char* kThreeMicrophones = "Alder:SN1001,Cedar:SN1002,Larch:SN1003";

class ServiceFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    const std::string& busAddress() const { return bus_->address(); }
    std::filesystem::path registryFolder() const { return folder_.path() / "registry"; }
    std::filesystem::path logFolder() const { return folder_.path() / "logs"; }
    std::filesystem::path installRoot() const { return folder_.path() / "root"; }
    std::filesystem::path profileFolder() const { return folder_.path() / "profiles"; }
    // The environment the service and qmctl run with: the scratch folder's store, logs, profiles
    // and install root, and nothing that leads to the machine's buses.
    std::vector<std::string> environment(const std::vector<std::string>& extra = {}) const;

    // Starts qmMicHost <switches> --bus <private bus> --simulate <microphones> and waits until
    // it serves (its device manager answers IsInitialize with S_OK).
    void startService(const std::string& microphones = kThreeMicrophones,
                      const std::vector<std::string>& switches = {"-Runapp"});
    // Waits until the microphones have been read once (IsInitialized).
    void waitUntilRead(const std::vector<std::string>& serials);
    // Sends the signal and waits for the service to end; its exit status.
    std::optional<int> stopService(int signal = SIGINT);
    bool serviceRunning() const { return service_ && service_->running(); }
    pid_t servicePid() const { return service_ ? service_->pid() : -1; }
    // What the service wrote to its standard error, for failure messages.
    std::string serviceErrors() const;

    // A client connection of its own to the service.
    std::shared_ptr<sdk::IQuillmereSDK> connect(
        std::chrono::milliseconds callTimeout = std::chrono::milliseconds(5000));
    std::shared_ptr<ipc::SimulatorControl> simulator();
    // The device object with this serial in the client's enumeration; null when none.
    static std::shared_ptr<sdk::IQMDevice> deviceOf(sdk::IQuillmereSDK& client,
                                                    const std::string& serial);
    static std::vector<std::string> serialsOf(sdk::IQuillmereSDK& client);
    static bool allStarted(sdk::IQuillmereSDK& client, const std::vector<std::string>& serials);

    // Reads lines until `wanted` comes (bounded by kBound); other lines may come first (a
    // second start notification, for instance). Nothing when it came; else the lines that did.
    static std::optional<std::string> readLineMatching(ChildProcess& process,
                                                       ChildProcess::Stream stream,
                                                       const std::string& wanted);

    // Runs qmctl with --bus <private bus> and the arguments, bounded by `bound`.
    Completed qmctl(const std::vector<std::string>& args, std::chrono::milliseconds bound = kBound);
    // Runs qmctl exactly as given, with QM_DBUS_ADDRESS and other variables in `extra`.
    Completed qmctlWithEnvironment(const std::vector<std::string>& args,
                                   const std::vector<std::string>& extra);
    // Starts qmctl with --bus <private bus> and the arguments and leaves it running.
    std::unique_ptr<ChildProcess> startQmctl(const std::vector<std::string>& args);

    // The service's settings store, read while the service runs.
    std::optional<std::uint32_t> cachedDword(const std::string& serial,
                                             const std::string& valueName) const;
    bool cachedDeviceExists(const std::string& serial) const;

    // Waits `interval` unless the service ends first (then the wait ends at once): the pause
    // between two looks of a bounded polling loop.
    void pause(std::chrono::milliseconds interval = std::chrono::milliseconds(20));

  private:
    testing::TempFolder folder_;
    std::unique_ptr<testing::PrivateBus> bus_;
    std::unique_ptr<ChildProcess> service_;
};

}  // namespace qm::e2e
