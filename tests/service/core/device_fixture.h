#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "common/runtime/virtual_clock.h"
#include "common/settings/system_paths.h"
#include "platform/registry/status.h"
#include "platform/registry/store.h"
#include "platform/registry/value_rules.h"
#include "service/core/device_environment.h"
#include "sim/virtual_rig.h"
#include "support/memory_log_storage.h"
#include "support/temp_folder.h"

namespace qm::core::testing {

// A temporary registry, virtual microphones on a virtual clock, and logs kept in memory.
class DeviceFixture : public ::testing::Test {
  protected:
    DeviceFixture() {
        store = std::make_unique<registry::Store>(
            registry::StoreLocations::inFolder(folder_.path(), "tester"));
    }
    ~DeviceFixture() override { store.reset(); }

    DeviceEnvironment environment() {
        return DeviceEnvironment{*store, rig.bus(), rig.endpoints(), clock, logs};
    }

    registry::Key configKey() {
        registry::Key key;
        EXPECT_EQ(store->createKey(registry::Hive::LocalMachine, settings::kDevicesKey,
                                   registry::Access::ReadWrite, key),
                  registry::ERROR_SUCCESS);
        return key;
    }
    registry::Key deviceKey(const std::string& serial) {
        registry::Key key;
        EXPECT_EQ(store->createKey(registry::Hive::LocalMachine,
                                   std::string(settings::kDevicesKey) + "\\" + serial,
                                   registry::Access::ReadWrite, key),
                  registry::ERROR_SUCCESS);
        return key;
    }
    void setLogFolder(const std::string& folder = "/logs") {
        EXPECT_EQ(registry::writeString(configKey(), "LogFolder", folder), registry::ERROR_SUCCESS);
    }
    std::string folder() const { return folder_.path().string(); }

    VirtualClock clock;
    sim::VirtualRig rig{clock};
    qm::testing::MemoryLogStorage logs;
    std::unique_ptr<registry::Store> store;

  private:
    qm::testing::TempFolder folder_;
};

}  // namespace qm::core::testing
