#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "common/ipc/bus_connection.h"
#include "common/ipc/client.h"
#include "common/ipc/sdk_adaptor.h"
#include "fake_device.h"
#include "fake_manager.h"
#include "support/private_bus.h"

namespace qm::ipc::testing {

// A private bus with the service's binding over a fake manager, and clients connected to it.
class IpcFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Options of the service's binding; short notification time-outs keep the tests quick.
    virtual ServerOptions serverOptions() const;

    void startService();
    void stopService();

    ClientOptions clientOptions() const;
    // A client of the service; fails the test when it cannot connect.
    std::shared_ptr<sdk::IQuillmereSDK> connect(const ClientOptions& options);
    std::shared_ptr<sdk::IQuillmereSDK> connect() { return connect(clientOptions()); }

    // Three devices SN1001..SN1003 in the manager's list.
    std::vector<std::shared_ptr<FakeDevice>> addDevices(int count = 3);

    std::unique_ptr<qm::testing::PrivateBus> bus_;
    std::shared_ptr<FakeManager> manager_ = std::make_shared<FakeManager>();
    std::unique_ptr<BusConnection> serviceBus_;
    std::unique_ptr<SdkAdaptor> adaptor_;
};

// The service's path of a device proxy ("" for anything else).
std::string pathOf(const std::shared_ptr<sdk::IQMDevice>& device);

// Every device of an enumerator, walked one at a time.
std::vector<std::shared_ptr<sdk::IQMDevice>> enumerateAll(sdk::IQuillmereSDK& manager);

}  // namespace qm::ipc::testing
