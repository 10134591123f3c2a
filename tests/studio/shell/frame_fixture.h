#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/runtime/virtual_clock.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/keyboard_locks.h"
#include "studio/controls/ribbon_bar.h"
#include "studio/controls/taskbar_progress.h"
#include "studio/controls/temp_registry.h"
#include "studio/shell/fake_parts.h"
#include "studio/shell/fake_service.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/settle.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/tonecraft_app.h"

namespace qm::studio::testing {

class RecordingTaskbar final : public controls::TaskbarProgress {
  public:
    explicit RecordingTaskbar(std::vector<std::string>& calls) : calls_(calls) {}
    void setState(State state) override {
        calls_.push_back("state " + std::to_string(static_cast<int>(state)));
    }
    void setRange(int maximum) override { calls_.push_back("range " + std::to_string(maximum)); }
    void setValue(int value) override { calls_.push_back("value " + std::to_string(value)); }
    void clear() override { calls_.push_back("clear"); }

  private:
    std::vector<std::string>& calls_;
};

class NoLocks final : public controls::KeyboardLocks {
  public:
    controls::LockStates read() override { return {}; }
};

// The whole studio over the fake service: a started Alder SN1001 and an unplugged Cedar SN1002.
// Every test that uses it also checks that no call reached the service on the GUI thread.
class FrameFixture : public ::testing::Test {
  public:
    FrameFixture() {
        resetGuiThreadCalls();
        EXPECT_EQ(registry::writeString(devicesKey(), "ProfileFolder", profiles().string()),
                  registry::ERROR_SUCCESS);
        alder_ = connector_.service->add("SN1001", "Alder");
        cedar_ = connector_.service->add("SN1002", "Cedar", false);
    }
    ~FrameFixture() override {
        app_.reset();
        EXPECT_EQ(guiThreadCalls(), 0) << "calls to the service on the GUI thread";
    }

  protected:
    // What a test fixture adds to the environment.
    virtual void adjust(StudioEnvironment&) {}
    std::filesystem::path profiles() const { return registry_.folder.path() / "profiles"; }
    registry::Key devicesKey() {
        return createdKey(*registry_.store, registry::Hive::LocalMachine, keys::kDevicesPath);
    }

    StudioEnvironment environment() {
        StudioEnvironment environment;
        environment.connector = &connector_;
        environment.hooks = StudioHooks{&endpoints_, &parts_, &panels_, nullptr, nullptr, nullptr};
        environment.prompts = &prompts_;
        environment.links = &links_;
        environment.makeTaskbar = [this] { return std::make_unique<RecordingTaskbar>(taskbar_); };
        environment.makeKeyboardLocks = [] { return std::make_unique<NoLocks>(); };
        environment.isAdministrator = [this] { return administrator_; };
        environment.clock = &clock_;
        environment.translationsFolder =
            QString::fromStdString((registry_.folder.path() / "Translations").string());
        environment.resetStep = std::chrono::milliseconds(1);
        environment.serviceControl.sleep = [this](Duration d) {  // waits on the virtual clock
            clock_.sleepFor(d);
            return true;
        };
        adjust(environment);
        return environment;
    }

    CMainFrame& start() {
        app_ = std::make_unique<CTonecraftApp>(*registry_.store, environment());
        EXPECT_TRUE(app_->InitInstance());
        settle();  // the first refresh, posted at creation
        return *app_->mainFrame();
    }
    // Runs what the studio has queued until nothing is left: posted events, calls to the service
    // and their results.
    void settle() { testing::settle(app_->calls()); }
    controls::RegistryManager& manager() { return app_->registry(); }
    // Whether the ribbon's command is enabled once the frame has updated its commands.
    bool enabled(int id) {
        app_->mainFrame()->ribbon()->updateCommands();
        return app_->mainFrame()->ribbon()->control(id)->isEnabled();
    }

    TempRegistry registry_;
    FakeConnector connector_;
    VirtualClock clock_;
    RecordingParts parts_;
    RecordingPanels panels_{parts_};
    FakeEndpoints endpoints_;
    RecordingPrompts prompts_;
    RecordingLinks links_;
    std::vector<std::string> taskbar_;
    bool administrator_ = false;
    std::shared_ptr<FakeDevice> alder_;
    std::shared_ptr<FakeDevice> cedar_;
    std::unique_ptr<CTonecraftApp> app_;
};

}  // namespace qm::studio::testing
