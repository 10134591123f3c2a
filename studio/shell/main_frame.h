#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "studio/controls/command_ui.h"
#include "studio/shell/device_selection.h"
#include "studio/shell/view_commands.h"

class QAction;

namespace qm::studio::controls {
class BackstageView;
class DockingPaneManager;
class FrameStatusBar;
class RibbonBar;
class TaskbarProgress;
class WindowPlacement;
}  // namespace qm::studio::controls

namespace qm::studio {

class CChildView;
class CPaneSource;
class CTonecraftApp;
class DeviceListController;
class ResetFlow;
class ServiceCalls;
class ServiceControlFlow;
class VersionCheck;

// The studio's main window: the ribbon with its backstage, the status bar, the source pane
// (6001) and the profile pane (6002), and the client view with the monitoring views and the
// panel host. It runs the ribbon's commands, keeps the view settings, the microphone list and
// the selection, and saves its layout and placement when it closes.
class CMainFrame : public QMainWindow, private controls::CommandUpdater {
    Q_OBJECT

  public:
    explicit CMainFrame(CTonecraftApp& app);
    ~CMainFrame() override;

    // Creation: settings, profile folder, status bar, ribbon, backstage, client view, panes and
    // their stored layout, then the first refresh posted and the list timer started.
    bool create();
    // Stay-on-top applied, placement restored, shown.
    void showFrame();

    // Progress display for long operations; may be invoked queued from any thread.
    // Shows (or hides) the progress pane at position 0; the taskbar state is 0 normal,
    // 1 paused, 2 error, anything else normal. Hiding also clears the taskbar progress.
    Q_INVOKABLE void showProgress(bool visible, int taskbarState);
    Q_INVOKABLE void setProgressRange(int upper);
    Q_INVOKABLE void setProgressPosition(int position);
    // The preview output volume changed outside the studio.
    Q_INVOKABLE void setPreviewVolume(float volume);

    void setStayOnTop(bool onTop);

    controls::RibbonBar* ribbon() const { return ribbon_; }
    controls::FrameStatusBar* frameStatusBar() const { return status_; }
    CPaneSource* sourcePane() const { return sourcePane_; }
    QWidget* profilePanePlace() const { return profilePlace_; }
    QWidget* displayPlace() const { return displayPlace_; }
    CChildView* childView() const { return view_; }
    DeviceSelection& selection() { return selection_; }
    // The way to call the service (see service_calls.h).
    ServiceCalls& serviceCalls() const;

    // Runs a ribbon command as its control would.
    void onCommand(int id);
    void onComboSelected(int id, int index, int itemData);
    void onShowUnactiveToggled(bool on);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    bool updateCommandUi(int id, controls::CommandUi& ui) override;
    void createPanes();
    void createBackstage();
    void showSystemMenu(const QPoint& globalPosition);
    void createServiceControl();

    CTonecraftApp& app_;
    DeviceSelection selection_;
    ViewCommands viewCommands_;
    std::unique_ptr<controls::TaskbarProgress> taskbar_;
    std::unique_ptr<controls::WindowPlacement> placement_;
    controls::RibbonBar* ribbon_ = nullptr;
    controls::BackstageView* backstage_ = nullptr;
    controls::FrameStatusBar* status_ = nullptr;
    controls::DockingPaneManager* panes_ = nullptr;
    CPaneSource* sourcePane_ = nullptr;
    QWidget* profilePlace_ = nullptr;
    QWidget* displayPlace_ = nullptr;
    CChildView* view_ = nullptr;
    DeviceListController* deviceList_ = nullptr;
    ResetFlow* reset_ = nullptr;
    VersionCheck* versionCheck_ = nullptr;
    ServiceControlFlow* serviceFlow_ = nullptr;
    ServiceControlHooks* serviceControl_ = nullptr;
    QAction* topWindow_ = nullptr;
    QTimer listTimer_;
    bool stayOnTop_ = false;
    bool firstShow_ = true;
    bool created_ = false;
};

}  // namespace qm::studio
