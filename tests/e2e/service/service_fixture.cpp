#include "service_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "common/ipc/client.h"
#include "common/settings/serial_name.h"
#include "common/settings/system_paths.h"
#include "platform/registry/status.h"
#include "platform/registry/store.h"

namespace qm::e2e {
namespace {

using SteadyClock = std::chrono::steady_clock;

}  // namespace

void ServiceFixture::SetUp() {
    bus_ = std::make_unique<testing::PrivateBus>();
}

void ServiceFixture::TearDown() {
    // Every run ends as a stop would end it: a clean exit (under the sanitizers also a run
    // without leaks or errors). A service that does not end in time is killed.
    if (serviceRunning()) {
        EXPECT_EQ(stopService(SIGINT), 0) << "qmMicHost: " << serviceErrors();
    }
    service_.reset();
    bus_.reset();
}

std::vector<std::string> ServiceFixture::environment(const std::vector<std::string>& extra) const {
    std::vector<std::string> variables = {
        "QM_REGISTRY_DIR=" + registryFolder().string(), "QM_LOG_DIR=" + logFolder().string(),
        "QM_INSTALL_ROOT=" + installRoot().string(), "QM_PROFILE_DIR=" + profileFolder().string()};
    variables.insert(variables.end(), extra.begin(), extra.end());
    return cleanEnvironment(variables);
}

void ServiceFixture::startService(const std::string& microphones,
                                  const std::vector<std::string>& switches) {
    std::vector<std::string> argv = {QM_MICHOST_PATH};
    argv.insert(argv.end(), switches.begin(), switches.end());
    argv.insert(argv.end(), {"--bus", busAddress()});
    if (!microphones.empty())
        argv.insert(argv.end(), {"--simulate", microphones});
    ChildProcess::Options options;
    options.environment = environment();
    options.outFile = folder_.path() / "service.out";
    options.errFile = folder_.path() / "service.err";
    service_ = std::make_unique<ChildProcess>(argv, options);

    // Serving means: the device manager answers, and has created and started a device object
    // for every virtual microphone (its device thread does that after the manager answers).
    std::vector<std::string> serials;
    for (std::size_t start = 0; start < microphones.size();) {
        const std::size_t comma = std::min(microphones.find(',', start), microphones.size());
        const std::string entry = microphones.substr(start, comma - start);
        serials.push_back(entry.substr(entry.find(':') + 1));
        start = comma + 1;
    }
    const auto deadline = SteadyClock::now() + kBound;
    while (SteadyClock::now() < deadline) {
        ASSERT_TRUE(service_->running()) << "qmMicHost ended: " << serviceErrors();
        const auto client = connect(std::chrono::milliseconds(250));
        if (client && client->IsInitialize() == sdk::S_OK && allStarted(*client, serials))
            return;
        pause();
    }
    FAIL() << "qmMicHost did not serve within " << kBound.count() << " ms: " << serviceErrors();
}

bool ServiceFixture::allStarted(sdk::IQuillmereSDK& client,
                                const std::vector<std::string>& serials) {
    for (const std::string& serial : serials) {
        const auto device = deviceOf(client, serial);
        if (!device || device->IsStarted() != sdk::S_OK)
            return false;
    }
    return true;
}

std::optional<std::string> ServiceFixture::readLineMatching(ChildProcess& process,
                                                            ChildProcess::Stream stream,
                                                            const std::string& wanted) {
    const auto deadline = SteadyClock::now() + kBound;
    std::string skipped;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
        const auto line = process.readLine(stream, std::max(left, std::chrono::milliseconds(0)));
        if (!line)
            return skipped;  // what came instead, for the failure message
        if (*line == wanted)
            return std::nullopt;
        skipped += *line + "\n";
    }
}

void ServiceFixture::waitUntilRead(const std::vector<std::string>& serials) {
    const auto client = connect();
    ASSERT_TRUE(client);
    const auto deadline = SteadyClock::now() + kBound;
    for (const std::string& serial : serials) {
        for (;;) {
            const auto device = deviceOf(*client, serial);
            if (device && device->IsInitialized() == sdk::S_OK)
                break;
            ASSERT_LT(SteadyClock::now(), deadline) << serial << " was not read in time";
            ASSERT_TRUE(serviceRunning()) << "qmMicHost ended: " << serviceErrors();
            pause();
        }
    }
}

std::optional<int> ServiceFixture::stopService(int signal) {
    if (!service_)
        return std::nullopt;
    service_->signal(signal);
    return service_->waitForExit(kBound);
}

std::string ServiceFixture::serviceErrors() const {
    std::ifstream file(folder_.path() / "service.err");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::shared_ptr<sdk::IQuillmereSDK> ServiceFixture::connect(std::chrono::milliseconds callTimeout) {
    ipc::ClientOptions options;
    options.bus = ipc::BusAddress::explicitAddress(busAddress());
    options.callTimeout = callTimeout;
    return ipc::connectToService(options);
}

std::shared_ptr<ipc::SimulatorControl> ServiceFixture::simulator() {
    return ipc::connectToSimulator(ipc::BusAddress::explicitAddress(busAddress()));
}

std::shared_ptr<sdk::IQMDevice> ServiceFixture::deviceOf(sdk::IQuillmereSDK& client,
                                                         const std::string& serial) {
    std::shared_ptr<sdk::IEnumQMDevice> enumerator;
    if (client.EnumQMDevice(&enumerator) != sdk::S_OK)
        return nullptr;
    std::shared_ptr<sdk::IQMDevice> device;
    unsigned long fetched = 0;
    while (enumerator->Next(1, &device, &fetched) == sdk::S_OK && fetched == 1) {
        std::string candidate;
        if (device->GetDeviceSN(candidate) == sdk::S_OK && candidate == serial)
            return device;
    }
    return nullptr;
}

std::vector<std::string> ServiceFixture::serialsOf(sdk::IQuillmereSDK& client) {
    std::vector<std::string> serials;
    std::shared_ptr<sdk::IEnumQMDevice> enumerator;
    if (client.EnumQMDevice(&enumerator) != sdk::S_OK)
        return serials;
    std::shared_ptr<sdk::IQMDevice> device;
    unsigned long fetched = 0;
    while (enumerator->Next(1, &device, &fetched) == sdk::S_OK && fetched == 1) {
        std::string serial;
        EXPECT_EQ(device->GetDeviceSN(serial), sdk::S_OK);
        serials.push_back(serial);
    }
    return serials;
}

Completed ServiceFixture::qmctl(const std::vector<std::string>& args,
                                std::chrono::milliseconds bound) {
    std::vector<std::string> argv = {QM_QMCTL_PATH, "--bus", busAddress()};
    argv.insert(argv.end(), args.begin(), args.end());
    return runToCompletion(argv, environment(), bound);
}

Completed ServiceFixture::qmctlWithEnvironment(const std::vector<std::string>& args,
                                               const std::vector<std::string>& extra) {
    std::vector<std::string> argv = {QM_QMCTL_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return runToCompletion(argv, environment(extra), kBound);
}

std::unique_ptr<ChildProcess> ServiceFixture::startQmctl(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {QM_QMCTL_PATH, "--bus", busAddress()};
    argv.insert(argv.end(), args.begin(), args.end());
    return std::make_unique<ChildProcess>(argv, ChildProcess::Options{environment(), {}, {}});
}

std::optional<std::uint32_t> ServiceFixture::cachedDword(const std::string& serial,
                                                         const std::string& valueName) const {
    registry::Store store(registry::StoreLocations::inFolder(registryFolder(), "e2e"));
    registry::Key key;
    const std::string path =
        std::string(settings::kDevicesKey) + "\\" + settings::serialName(serial);
    if (store.openKey(registry::Hive::LocalMachine, path, registry::Access::Read, key) !=
        registry::ERROR_SUCCESS)
        return std::nullopt;
    registry::Value value;
    if (key.queryValue(valueName, value) != registry::ERROR_SUCCESS ||
        value.type != registry::ValueType::Dword || value.data.size() != 4)
        return std::nullopt;
    return static_cast<std::uint32_t>(value.data[0]) |
           static_cast<std::uint32_t>(value.data[1]) << 8 |
           static_cast<std::uint32_t>(value.data[2]) << 16 |
           static_cast<std::uint32_t>(value.data[3]) << 24;
}

bool ServiceFixture::cachedDeviceExists(const std::string& serial) const {
    registry::Store store(registry::StoreLocations::inFolder(registryFolder(), "e2e"));
    registry::Key key;
    return store.openKey(registry::Hive::LocalMachine,
                         std::string(settings::kDevicesKey) + "\\" + settings::serialName(serial),
                         registry::Access::Read, key) == registry::ERROR_SUCCESS;
}

void ServiceFixture::pause(std::chrono::milliseconds interval) {
    if (service_ && service_->running())
        service_->waitForExit(interval);
}

}  // namespace qm::e2e
