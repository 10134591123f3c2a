#pragma once

#include <QObject>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/sdk/interfaces.h"

namespace qm::studio {

class CDeviceEventSink;
class CSourceListCtrl;
class DeviceSelection;
class ServiceCalls;
class ServiceConnection;
class ServiceWatch;
class UserPrompts;
struct ServiceDevice;
struct StudioSettings;

// Keeps the microphone list in step with the service: the connection's refresh, the sink that
// the service notifies, the handling of each notification, the service's coming and going, the
// selection from the list, and the list's own commands (rename, remove one or all inactive
// microphones). Runs on the GUI thread and never waits for the service there: every call goes
// through ServiceCalls, and what the list shows and the commands' conditions are read from the
// cached state of each microphone.
class DeviceListController : public QObject {
    Q_OBJECT

  public:
    using DevicePtr = std::shared_ptr<sdk::IQMDevice>;
    static constexpr int kRedrawDelayMs = 500;

    DeviceListController(ServiceConnection& connection, ServiceCalls& calls, CSourceListCtrl& list,
                         DeviceSelection& selection, UserPrompts& prompts,
                         const StudioSettings& settings, QObject* parent = nullptr);
    ~DeviceListController() override;

    // Follows the service on the bus from now on: its leaving is handled like its release
    // notification (-1), its return starts a refresh.
    void watchService();

    // Unregisters and drops the sink held; its notifications still queued are ignored.
    void Unadvise();
    // Lists the connection's microphones (only started ones while the show-inactive flag is
    // off) and selects none.
    void FillList();
    // Unadvise, empty the list, disconnect; then, on a worker, connect and advise a new sink.
    // When that is done the list is filled, the notifications that came meanwhile are handled,
    // and the list is redrawn 500 ms later.
    void Refresh();
    bool refreshing() const { return refreshing_; }

    // A notification as the sink posts it: ignored unless it comes from the sink held now.
    void onSinkNotification(std::uint64_t sink, int state, const std::string& serial);
    // The handling of one notification state (-1 to 4).
    void handleNotification(int state, const std::string& serial);
    // The service appeared on the bus (true) or left it (false).
    void onServicePresence(bool present);
    // Unadvise, empty the list, disconnect: the studio lets go of the service.
    void disconnectService();
    // While held, the service's coming and going is not followed (it is being started or
    // stopped from here, and the list is refreshed when that is done).
    void holdPresence(bool held) { presenceHeld_ = held; }

    // The list's commands: rename (6357), remove an inactive device (6358), remove all
    // inactive devices (6359).
    bool commandEnabled(int id) const;
    void executeCommand(int id);
    void showContextMenu(const QPoint& globalPosition);

    // True when the selected microphone is started, as last known.
    bool selectedStarted() const;
    // Selects `device` again when it is still listed and started; otherwise selects none.
    void reselect(const DevicePtr& device);

    const std::shared_ptr<CDeviceEventSink>& sink() const { return sink_; }

  private:
    struct RefreshOutcome;

    std::shared_ptr<CDeviceEventSink> makeSink();
    void finishRefresh(std::uint64_t generation, const std::shared_ptr<CDeviceEventSink>& sink,
                       RefreshOutcome outcome);
    void serviceGone();
    void deselectIf(const std::string& serial);
    // Shows the microphone as it is known now: its item updated, inserted when it is started
    // and not listed, taken out when it stopped and inactive ones aren't shown.
    void showDevice(const ServiceDevice& device);
    // Marks news about a microphone; results read before it are not used.
    std::uint64_t noteNews(const std::string& serial);
    bool newsSince(const std::string& serial, std::uint64_t news) const;
    void readAgain(const std::string& serial);
    void fetchNew(const std::string& serial);
    void renameSelected();
    void removeSelectedInactive();
    void removeAllInactive();

    ServiceConnection& connection_;
    ServiceCalls& calls_;
    CSourceListCtrl& list_;
    DeviceSelection& selection_;
    UserPrompts& prompts_;
    const StudioSettings& settings_;
    std::unique_ptr<ServiceWatch> watch_;
    std::shared_ptr<CDeviceEventSink> sink_;
    std::uint64_t sinkCounter_ = 0;
    bool refreshing_ = false;
    bool presenceHeld_ = false;
    std::vector<std::pair<int, std::string>> pending_;
    std::map<std::string, std::uint64_t> news_;
};

}  // namespace qm::studio
