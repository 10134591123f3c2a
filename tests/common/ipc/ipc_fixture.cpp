#include "ipc_fixture.h"

#include "common/ipc/bus_names.h"
#include "common/ipc/device_proxy.h"

namespace qm::ipc::testing {

void IpcFixture::SetUp() {
    bus_ = std::make_unique<qm::testing::PrivateBus>();
    startService();
}

void IpcFixture::TearDown() {
    stopService();
    bus_.reset();
}

ServerOptions IpcFixture::serverOptions() const {
    ServerOptions options;
    options.notifyTimeout = std::chrono::milliseconds(500);
    options.callThreads = 4;
    return options;
}

void IpcFixture::startService() {
    serviceBus_ = BusConnection::open(BusAddress::explicitAddress(bus_->address()));
    adaptor_ = std::make_unique<SdkAdaptor>(serviceBus_->native(), manager_, serverOptions());
    serviceBus_->requestName(kBusName);
    serviceBus_->startEventLoop();
}

void IpcFixture::stopService() {
    adaptor_.reset();
    serviceBus_.reset();
}

ClientOptions IpcFixture::clientOptions() const {
    ClientOptions options;
    options.bus = BusAddress::explicitAddress(bus_->address());
    options.callTimeout = std::chrono::milliseconds(5000);
    return options;
}

std::shared_ptr<sdk::IQuillmereSDK> IpcFixture::connect(const ClientOptions& options) {
    sdk::HRESULT hr = sdk::E_FAIL;
    auto client = connectToService(options, &hr);
    EXPECT_EQ(hr, sdk::S_OK);
    EXPECT_NE(client, nullptr);
    return client;
}

std::vector<std::shared_ptr<FakeDevice>> IpcFixture::addDevices(int count) {
    std::vector<std::shared_ptr<FakeDevice>> devices;
    FakeManager::Devices list;
    for (int i = 1; i <= count; ++i) {
        auto device = std::make_shared<FakeDevice>("SN100" + std::to_string(i),
                                                   static_cast<std::uint8_t>(0x10 * i));
        devices.push_back(device);
        list.push_back(device);
    }
    manager_->setDevices(list);
    return devices;
}

std::string pathOf(const std::shared_ptr<sdk::IQMDevice>& device) {
    const auto* proxy = dynamic_cast<const DeviceProxy*>(device.get());
    return proxy != nullptr ? proxy->path() : std::string();
}

std::vector<std::shared_ptr<sdk::IQMDevice>> enumerateAll(sdk::IQuillmereSDK& manager) {
    std::vector<std::shared_ptr<sdk::IQMDevice>> devices;
    std::shared_ptr<sdk::IEnumQMDevice> enumerator;
    if (sdk::FAILED(manager.EnumQMDevice(&enumerator)) || !enumerator) {
        return devices;
    }
    std::shared_ptr<sdk::IQMDevice> device;
    while (enumerator->Next(1, &device, nullptr) == sdk::S_OK) {
        devices.push_back(device);
    }
    return devices;
}

}  // namespace qm::ipc::testing
