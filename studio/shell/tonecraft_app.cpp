#include "studio/shell/tonecraft_app.h"

#include <QApplication>
#include <QDir>

#include "common/profiles/profile_folder.h"
#include "common/profiles/profile_settings.h"
#include "common/settings/system_paths.h"
#include "platform/registry/status.h"
#include "studio/controls/dark_style.h"
#include "studio/controls/language_manager.h"
#include "studio/shell/layout_version.h"
#include "studio/shell/link_opener.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/service_connector.h"
#include "studio/shell/string_table.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/user_prompts.h"

namespace qm::studio {
namespace {

ServiceConnector& connectorOf(StudioEnvironment& environment) {
    static NoServiceConnector none;
    return environment.connector != nullptr ? *environment.connector : none;
}

// "Translations" beside the program, or, for an installed program, in its data folder.
QString defaultTranslationsFolder() {
    const QDir program(QCoreApplication::applicationDirPath());
    const QString beside = program.filePath(QStringLiteral("Translations"));
    const QString installed = program.filePath(QStringLiteral("../share/qmTonecraft/Translations"));
    if (!QDir(beside).exists() && QDir(installed).exists()) {
        return QDir::cleanPath(installed);
    }
    return beside;
}

Clock& clockOf(const StudioEnvironment& environment) {
    return environment.clock != nullptr ? *environment.clock : Clock::real();
}

}  // namespace

CTonecraftApp::CTonecraftApp(registry::Store& store, StudioEnvironment environment)
    : store_(store),
      environment_(std::move(environment)),
      registry_(store, registry::Hive::CurrentUser, keys::kUserRoot),
      profileFolder_(settings::defaultProfileFolder()),
      connection_(connectorOf(environment_), clockOf(environment_)) {
    registry::Key settingsKey;
    if (store_.openKey(registry::Hive::CurrentUser, keys::kSettingsPath, registry::Access::Read,
                       settingsKey) == registry::ERROR_SUCCESS) {
        readStartupSettings(settingsKey, settings_);
    }

    // Without rights on the machine-wide key nothing happens here; the main frame makes the
    // folders from the default path when it is created.
    registry::Key devicesKey;
    if (store_.createKey(registry::Hive::LocalMachine, keys::kDevicesPath,
                         registry::Access::ReadWrite, devicesKey) == registry::ERROR_SUCCESS) {
        profileFolder_ = profiles::readProfileFolder(devicesKey);
        profiles::ensureProfileFolders(profileFolder_);
    }

    if (environment_.prompts == nullptr) {
        ownPrompts_ = std::make_unique<DialogPrompts>();
    }
    if (environment_.links == nullptr) {
        ownLinks_ = std::make_unique<DesktopLinkOpener>();
    }
}

CTonecraftApp::~CTonecraftApp() {
    ExitInstance();
}

UserPrompts& CTonecraftApp::prompts() const {
    return environment_.prompts != nullptr ? *environment_.prompts : *ownPrompts_;
}

LinkOpener& CTonecraftApp::links() const {
    return environment_.links != nullptr ? *environment_.links : *ownLinks_;
}

QString CTonecraftApp::windowTitle(bool administrator) {
    return loadString(administrator ? 3005 : 3006);
}

bool CTonecraftApp::InitInstance() {
    // The language of every text is chosen before any window exists.
    QString folder = environment_.translationsFolder;
    if (folder.isEmpty()) {
        folder = defaultTranslationsFolder();
    }
    languages_ = std::make_unique<controls::LanguageManager>(
        store_, keys::kSettingsPath, keys::kUiLanguage, folder, QStringLiteral("qmTonecraft"));
    languages_->initialize();

    // Qt draws the studio's own dark look on every desktop theme, so no theme is required of
    // the desktop.
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        application->setPalette(controls::darkPalette());
        application->setStyleSheet(controls::darkStyleSheet());
    }

    applyLayoutVersion(registry_);

    frame_ = std::make_unique<CMainFrame>(*this);
    if (!frame_->create()) {
        frame_.reset();
        return false;
    }
    if (environment_.frameCreated) {
        environment_.frameCreated(*frame_);
    }
    if (environment_.hooks.analysis != nullptr) {
        environment_.hooks.analysis->start();
        analysisStarted_ = true;
    }
    frame_->showFrame();
    return true;
}

void CTonecraftApp::ExitInstance() {
    frame_.reset();
    calls_.shutdown();
    if (analysisStarted_) {
        environment_.hooks.analysis->stop();
        analysisStarted_ = false;
    }
    connection_.Disconnect();
}

}  // namespace qm::studio
