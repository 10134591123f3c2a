#include "studio/shell/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "common/profiles/profile_folder.h"
#include "common/profiles/profile_settings.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/controls/backstage_view.h"
#include "studio/controls/docking_pane_manager.h"
#include "studio/controls/keyboard_locks.h"
#include "studio/controls/popup_menu.h"
#include "studio/controls/ribbon_bar.h"
#include "studio/controls/status_bar.h"
#include "studio/controls/taskbar_progress.h"
#include "studio/controls/window_placement.h"
#include "studio/shell/administrator_check.h"
#include "studio/shell/backstage_page_about.h"
#include "studio/shell/backstage_page_options.h"
#include "studio/shell/child_view.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/device_list_controller.h"
#include "studio/shell/pane_source.h"
#include "studio/shell/reset_flow.h"
#include "studio/shell/ribbon_layout.h"
#include "studio/shell/service_control_flow.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/string_table.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/tonecraft_app.h"
#include "studio/shell/version_check.h"

namespace qm::studio {
namespace {

constexpr int kListTimerIntervalMs = 1000;
constexpr int kVolumeSliderMaximum = 1000;
constexpr QSize kDefaultSize(1280, 800);
constexpr int kServiceTabId = 3003;

controls::TaskbarProgress::State taskbarState(int code) {
    switch (code) {
        case 1:
            return controls::TaskbarProgress::State::Paused;
        case 2:
            return controls::TaskbarProgress::State::Error;
        default:
            return controls::TaskbarProgress::State::Normal;
    }
}

QWidget* makePlace(QWidget* parent, const char* name) {
    auto* place = new QWidget(parent);
    place->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(place);
    layout->setContentsMargins(0, 0, 0, 0);
    return place;
}

}  // namespace

CMainFrame::CMainFrame(CTonecraftApp& app)
    : QMainWindow(nullptr),
      app_(app),
      selection_(app.environment().hooks),
      viewCommands_(app.settings(), app.registry(), app.environment().hooks.monitoring,
                    app.environment().hooks.analysis) {
    setObjectName(QString::fromLatin1(CTonecraftApp::kFrameClassName));
    listTimer_.setInterval(kListTimerIntervalMs);
}

CMainFrame::~CMainFrame() {
    listTimer_.stop();
    delete reset_;
    reset_ = nullptr;
    delete versionCheck_;
    versionCheck_ = nullptr;
    if (deviceList_ != nullptr) {
        deviceList_->Unadvise();
    }
    if (created_) {
        app_.registry().writeProfileInt(keys::kSettings, "StayOnTop", stayOnTop_ ? 1 : 0);
        app_.settings().waveformSplit = view_->waveformShare();
        app_.registry().writeProfileDouble(keys::kSplitter, "Waveform_V",
                                           app_.settings().waveformSplit);
    }
}

bool CMainFrame::create() {
    StudioSettings& settings = app_.settings();
    StudioEnvironment& environment = app_.environment();

    // 1. Settings the frame takes when it is made.
    readFrameSettings(app_.registry(), settings);

    // 2. The profile folder, from the default path when the machine-wide value isn't usable.
    app_.setProfileFolder(profiles::readProfileFolder(app_.store()));
    profiles::ensureProfileFolders(app_.profileFolder());

    // 3. The "Top window" item of the window's own menu (the ribbon bar's context menu here).
    topWindow_ = new QAction(loadString(3000), this);
    topWindow_->setObjectName(QStringLiteral("topWindow"));
    topWindow_->setCheckable(true);
    connect(topWindow_, &QAction::triggered, this, [this] { setStayOnTop(!stayOnTop_); });

    // 4. Status bar, ribbon with backstage, client view.
    status_ = new controls::FrameStatusBar(environment.makeKeyboardLocks
                                               ? environment.makeKeyboardLocks()
                                               : std::make_unique<controls::LedKeyboardLocks>(),
                                           this);
    status_->setMessage(loadString(57345));
    status_->setIndicatorTexts(loadString(59137), loadString(59138), loadString(59139));
    const VersionNumbers& version = environment.installedVersion;
    status_->setVersionText(QStringLiteral("%1: %2.%3.%4")
                                .arg(loadString(3018))
                                .arg(version.major)
                                .arg(version.minor)
                                .arg(version.build),
                            loadString(3015));
    setStatusBar(status_);

    ribbon_ = new controls::RibbonBar(this);
    displayPlace_ = makePlace(nullptr, "displayPlace");
    buildRibbon(*ribbon_, settings, displayPlace_);
    ribbon_->setCommandUpdater(this);
    setMenuWidget(ribbon_);
    connect(ribbon_, &controls::RibbonBar::commandTriggered, this, &CMainFrame::onCommand);
    connect(ribbon_, &controls::RibbonBar::comboSelected, this, &CMainFrame::onComboSelected);
    connect(ribbon_, &controls::RibbonBar::contextMenuRequested, this, &CMainFrame::showSystemMenu);

    view_ = new CChildView(this);
    view_->setWaveformShare(settings.waveformSplit);
    setCentralWidget(view_);
    createBackstage();

    // 5. Taskbar progress, panes and their stored layout.
    taskbar_ = environment.makeTaskbar ? environment.makeTaskbar()
                                       : std::make_unique<controls::LauncherEntryProgress>(
                                             QStringLiteral("qmTonecraft.desktop"));
    taskbar_->setState(controls::TaskbarProgress::State::Normal);
    taskbar_->clear();
    createPanes();

    // The list and the service connection.
    deviceList_ = new DeviceListController(app_.connection(), app_.calls(), *sourcePane_->list(),
                                           selection_, app_.prompts(), settings, this);
    sourcePane_->setShowUnactive(settings.showUnactive != 0);
    connect(sourcePane_, &CPaneSource::showUnactiveToggled, this,
            &CMainFrame::onShowUnactiveToggled);
    reset_ = new ResetFlow(*this, selection_, *deviceList_, app_.calls(), app_.prompts(),
                           environment.resetStep, this);
    versionCheck_ = new VersionCheck(app_.prompts(), app_.links(), environment.installedVersion,
                                     environment.versionTimeout, this);
    placement_ = std::make_unique<controls::WindowPlacement>(app_.registry(), "MainFrame");
    createServiceControl();

    // 6. Profile list, first refresh once the event loop runs, the list timer. From now on the
    // service's leaving and return are followed too.
    deviceList_->watchService();
    if (environment.hooks.profiles != nullptr) {
        environment.hooks.profiles->reloadList();
    }
    QMetaObject::invokeMethod(
        this, [this] { onCommand(ids::kRefresh); }, Qt::QueuedConnection);
    connect(&listTimer_, &QTimer::timeout, this, [this] { sourcePane_->list()->redrawAll(); });
    listTimer_.start();
    ribbon_->updateCommands();
    created_ = true;
    return true;
}

void CMainFrame::createServiceControl() {
    StudioEnvironment& environment = app_.environment();
    serviceControl_ = environment.hooks.serviceControl;
    if (environment.serviceManager == nullptr) {
        return;
    }
    serviceFlow_ = new ServiceControlFlow(*environment.serviceManager, app_.connection().clock(),
                                          app_.store(), app_.calls(), *this, *deviceList_,
                                          selection_, app_.prompts(), environment.serviceControl);
    serviceControl_ = serviceFlow_;
    // The Service tab tells the service's state in its tooltip.
    connect(serviceFlow_, &ServiceControlFlow::stateChanged, this, [this] {
        for (int i = 0; i < ribbon_->tabCount(); ++i) {
            if (ribbon_->tab(i)->id() == kServiceTabId) {
                ribbon_->setTabToolTip(i, serviceFlow_->stateText());
            }
        }
        ribbon_->updateCommands();
    });
}

ServiceCalls& CMainFrame::serviceCalls() const {
    return app_.calls();
}

void CMainFrame::createPanes() {
    panes_ = new controls::DockingPaneManager(*this, app_.registry());
    sourcePane_ = new CPaneSource();
    profilePlace_ = makePlace(nullptr, "profilePanePlace");
    panes_->createPane(ids::kPaneSource, loadString(3082), sourcePane_, Qt::LeftDockWidgetArea);
    panes_->createPane(ids::kPaneProfile, loadString(3083), profilePlace_, Qt::LeftDockWidgetArea);
    panes_->dockBelow(ids::kPaneProfile, ids::kPaneSource);
    panes_->loadLayout(QString::fromLatin1(keys::kNormalLayout));
    // A stored layout may carry titles of another language.
    panes_->setPaneTitle(ids::kPaneSource, loadString(3082));
    panes_->setPaneTitle(ids::kPaneProfile, loadString(3083));
    connect(panes_, &controls::DockingPaneManager::panesChanged, this, [this] {
        sourcePane_->list()->viewport()->update();
        profilePlace_->update();
    });
}

void CMainFrame::createBackstage() {
    backstage_ = new controls::BackstageView(this);
    auto* options = new CBackstagePageOptions(app_, *this, backstage_);
    auto* about = new CBackstagePageAbout(QString::fromLatin1(installedVersionText()), backstage_);
    backstage_->addPage(3009, loadString(3009), options, true);
    backstage_->addPage(ids::kAboutCommand, loadString(3010), about);
    backstage_->addCommand(ids::kExitCommand, loadString(3011));
    connect(backstage_, &controls::BackstageView::commandTriggered, this, &CMainFrame::onCommand);
}

void CMainFrame::showFrame() {
    const auto onTop = app_.registry().getProfileInt(keys::kSettings, "StayOnTop");
    app_.settings().stayOnTop = onTop.value_or(app_.settings().stayOnTop);
    setStayOnTop(app_.settings().stayOnTop != 0);
    if (!placement_->restore(*this)) {
        resize(kDefaultSize);
    }
    show();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!firstShow_) {
        return;
    }
    firstShow_ = false;
    const auto& isAdministrator = app_.environment().isAdministrator;
    setWindowTitle(CTonecraftApp::windowTitle(isAdministrator ? isAdministrator()
                                                              : studio::isAdministrator()));
    std::string address;
    registry::Key key;
    if (app_.store().openKey(registry::Hive::CurrentUser, keys::kSettingsPath,
                             registry::Access::Read, key) == registry::ERROR_SUCCESS) {
        address = registry::readString(key, keys::kVersionDocument).value_or("");
    }
    versionCheck_->start(QString::fromStdString(address));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (serviceFlow_ != nullptr) {
        serviceFlow_->shutdown();
    }
    deviceList_->Unadvise();
    if (MonitoringHooks* monitoring = app_.environment().hooks.monitoring) {
        monitoring->stopCapture();
        monitoring->releaseOutputDevices();
    }
    placement_->save(*this);
    panes_->saveLayout(QString::fromLatin1(keys::kNormalLayout));
    event->accept();
}

void CMainFrame::setStayOnTop(bool onTop) {
    stayOnTop_ = onTop;
    app_.settings().stayOnTop = onTop ? 1 : 0;
    if (topWindow_ != nullptr) {
        topWindow_->setChecked(onTop);
    }
    if (((windowFlags() & Qt::WindowStaysOnTopHint) != 0) == onTop) {
        return;
    }
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible) {
        show();
    }
}

void CMainFrame::showSystemMenu(const QPoint& globalPosition) {
    controls::PopupMenu menu(this);
    menu.addSeparator();
    menu.addAction(topWindow_);
    menu.exec(globalPosition);
}

void CMainFrame::showProgress(bool visible, int state) {
    status_->showProgress(visible);
    if (visible) {
        taskbar_->setState(taskbarState(state));
        taskbar_->setValue(0);
    } else {
        taskbar_->clear();
    }
}

void CMainFrame::setProgressRange(int upper) {
    status_->setProgressRange(upper);
    taskbar_->setRange(upper);
}

void CMainFrame::setProgressPosition(int position) {
    status_->setProgressPosition(position);
    taskbar_->setValue(position);
}

void CMainFrame::setPreviewVolume(float volume) {
    app_.settings().volumeOutput = volume;
    if (MonitoringHooks* monitoring = app_.environment().hooks.monitoring) {
        const int position =
            std::clamp(static_cast<int>(volume * kVolumeSliderMaximum), 0, kVolumeSliderMaximum);
        monitoring->showOutputVolume(position);
    }
}

void CMainFrame::onShowUnactiveToggled(bool on) {
    app_.settings().showUnactive = on ? 1 : 0;
    app_.registry().writeProfileInt(keys::kSettings, "ShowUnactive", on ? 1 : 0);
    sourcePane_->setShowUnactive(on);
    deviceList_->FillList();
}

void CMainFrame::onCommand(int id) {
    const StudioHooks& hooks = app_.environment().hooks;
    if (viewCommands_.handles(id)) {
        viewCommands_.execute(id);
        return;
    }
    switch (id) {
        case ids::kSystemButton:
            backstage_->showView();
            break;
        case ids::kExitCommand:
            close();
            break;
        case ids::kReset:
            reset_->start();
            break;
        case ids::kRefresh:
            deviceList_->Refresh();
            break;
        case ids::kRenameDevice:
            deviceList_->executeCommand(ids::kRenameDevice);
            break;
        case ids::kProfileSave:
            if (hooks.profiles != nullptr && hooks.profiles->canSave()) {
                hooks.profiles->save();
            }
            break;
        case ids::kProfileApply:
            if (hooks.profiles != nullptr && hooks.profiles->canApply()) {
                hooks.profiles->apply();
            }
            break;
        case ids::kRenameProfile:
            if (hooks.profiles != nullptr && hooks.profiles->canRename()) {
                hooks.profiles->rename();
            }
            break;
        case ids::kServiceStart:
            if (serviceControl_ != nullptr) {
                serviceControl_->start();
            }
            break;
        case ids::kServiceStop:
            if (serviceControl_ != nullptr) {
                serviceControl_->stop();
            }
            break;
        case ids::kServiceRestart:
            if (serviceControl_ != nullptr) {
                serviceControl_->restart();
            }
            break;
        default:
            break;
    }
}

void CMainFrame::onComboSelected(int id, int index, int itemData) {
    if (id == ids::kOutputDevice) {
        if (MonitoringHooks* monitoring = app_.environment().hooks.monitoring) {
            monitoring->stopCapture();
            monitoring->selectOutputDevice(index);
            selection_.select(selection_.selected(), selection_.selectedInfo());
        }
        return;
    }
    viewCommands_.comboSelected(id, static_cast<std::uint32_t>(itemData));
}

bool CMainFrame::updateCommandUi(int id, controls::CommandUi& ui) {
    if (viewCommands_.updateUi(id, ui)) {
        return true;
    }
    const StudioHooks& hooks = app_.environment().hooks;
    ui.checked = false;
    switch (id) {
        case ids::kReset:
            ui.enabled = deviceList_->selectedStarted() && !reset_->running();
            return true;
        case ids::kRefresh:
            // Without a reachable service manager (a service run by hand) the list can always
            // be refreshed.
            ui.enabled = serviceControl_ == nullptr || !serviceControl_->reachable() ||
                         (serviceControl_->isServiceRunning() && !serviceControl_->busy());
            return true;
        case ids::kRenameDevice:
            ui.enabled = true;
            return true;
        case ids::kProfileSave:
            ui.enabled = hooks.profiles != nullptr && hooks.profiles->canSave();
            return true;
        case ids::kProfileApply:
            ui.enabled = hooks.profiles != nullptr && hooks.profiles->canApply();
            return true;
        case ids::kRenameProfile:
            ui.enabled = hooks.profiles != nullptr && hooks.profiles->canRename();
            return true;
        case ids::kServiceStart:
        case ids::kServiceStop:
        case ids::kServiceRestart: {
            const bool usable = serviceControl_ != nullptr && !serviceControl_->busy() &&
                                serviceControl_->reachable();
            const bool running = usable && serviceControl_->isServiceRunning();
            ui.enabled = id == ids::kServiceRestart ? usable
                         : id == ids::kServiceStart ? usable && !running
                                                    : running;
            return true;
        }
        case ids::kOutputDevice:
            ui.enabled = hooks.monitoring != nullptr;
            return true;
        default:
            return false;
    }
}

}  // namespace qm::studio
