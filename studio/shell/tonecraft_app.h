#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "common/runtime/clock.h"
#include "platform/registry/store.h"
#include "studio/controls/registry_manager.h"
#include "studio/shell/service_calls.h"
#include "studio/shell/service_connection.h"
#include "studio/shell/service_control_flow.h"
#include "studio/shell/studio_hooks.h"
#include "studio/shell/studio_settings.h"
#include "studio/shell/version_document.h"

namespace qm::studio::controls {
class KeyboardLocks;
class LanguageManager;
class TaskbarProgress;
}  // namespace qm::studio::controls

namespace qm::studio {

class CMainFrame;
class LinkOpener;
class ServiceConnector;
class UserPrompts;

// What the studio runs with: the service connector, the other parts it calls, and the
// environment's services. Empty entries take the real ones.
struct StudioEnvironment {
    ServiceConnector* connector = nullptr;
    StudioHooks hooks;
    // The service manager the Service tab drives; none: hooks.serviceControl, if given.
    servicehost::ServiceControlConnector* serviceManager = nullptr;
    ServiceControlOptions serviceControl;
    UserPrompts* prompts = nullptr;
    LinkOpener* links = nullptr;
    std::function<std::unique_ptr<controls::TaskbarProgress>()> makeTaskbar;
    std::function<std::unique_ptr<controls::KeyboardLocks>()> makeKeyboardLocks;
    std::function<bool()> isAdministrator;
    Clock* clock = nullptr;
    // Empty: "Translations" beside the program, else ../share/qmTonecraft/Translations.
    QString translationsFolder;
    // Called once the main frame exists and before it is shown, so that the other parts can put
    // their windows into its places.
    std::function<void(CMainFrame&)> frameCreated;
    // Starts another studio (after a change of language); true when it started. Empty: this
    // program again, with the same arguments.
    std::function<bool()> startNewInstance;
    std::chrono::milliseconds resetStep{100};
    std::chrono::milliseconds versionTimeout{15000};
    VersionNumbers installedVersion = studio::installedVersion();
};

// The studio's application object: the settings all views share, the registry manager, the
// machine-wide profile folder, the connection to the service, and the start-up and exit of the
// whole program. Several studios may run at the same time; nothing here prevents it, and each
// connects to the same service.
class CTonecraftApp {
  public:
    static constexpr const char* kFrameClassName = "qmMainFrameStudio";

    // Sets every setting to its default, reads the Settings values stored as REG_DWORD, and,
    // when the machine-wide devices key can be opened or created, reads the profile folder and
    // makes sure it and its product folders exist.
    CTonecraftApp(registry::Store& store, StudioEnvironment environment);
    ~CTonecraftApp();
    CTonecraftApp(const CTonecraftApp&) = delete;
    CTonecraftApp& operator=(const CTonecraftApp&) = delete;

    // Languages, look, the docking layout version, then the main frame, the analysis thread and
    // the frame shown. False when the frame can't be made.
    bool InitInstance();
    // The frame destroyed, the calls to the service finished (the last given a bounded time),
    // the analysis thread stopped, the service disconnected.
    void ExitInstance();

    registry::Store& store() { return store_; }
    controls::RegistryManager& registry() { return registry_; }
    StudioSettings& settings() { return settings_; }
    ServiceConnection& connection() { return connection_; }
    ServiceCalls& calls() { return calls_; }
    const std::string& profileFolder() const { return profileFolder_; }
    void setProfileFolder(std::string folder) { profileFolder_ = std::move(folder); }
    StudioEnvironment& environment() { return environment_; }
    UserPrompts& prompts() const;
    LinkOpener& links() const;
    controls::LanguageManager* languageManager() const { return languages_.get(); }
    CMainFrame* mainFrame() const { return frame_.get(); }

    // String 3005 for an administrator, 3006 otherwise.
    static QString windowTitle(bool administrator);

  private:
    registry::Store& store_;
    StudioEnvironment environment_;
    controls::RegistryManager registry_;
    StudioSettings settings_;
    std::string profileFolder_;
    ServiceConnection connection_;
    // After the connection: its workers end before anything they use goes.
    ServiceCalls calls_;
    std::unique_ptr<UserPrompts> ownPrompts_;
    std::unique_ptr<LinkOpener> ownLinks_;
    std::unique_ptr<controls::LanguageManager> languages_;
    std::unique_ptr<CMainFrame> frame_;
    bool analysisStarted_ = false;
};

}  // namespace qm::studio
