#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

namespace qm::studio {

class CDeviceEventSink;
class CSourceListCtrl;
class DeviceSelection;
class ServiceConnection;
class UserPrompts;
struct StudioSettings;

// Keeps the microphone list in step with the service: the connection's refresh, the sink that
// the service notifies, the handling of each notification, the selection from the list, and the
// list's own commands (rename, remove one or all inactive microphones). Main thread only.
class DeviceListController : public QObject {
    Q_OBJECT

  public:
    static constexpr int kRedrawDelayMs = 500;

    DeviceListController(ServiceConnection& connection, CSourceListCtrl& list,
                         DeviceSelection& selection, UserPrompts& prompts,
                         const StudioSettings& settings, QObject* parent = nullptr);
    ~DeviceListController() override;

    // Registers a new sink with the service (dropping the one held). Nothing when not connected.
    void Advise();
    // Unregisters and drops the sink held; its notifications still queued are ignored.
    void Unadvise();
    // Lists the connection's microphones (only started ones while the show-inactive flag is
    // off) and selects none.
    void FillList();
    // Unadvise, empty the list, disconnect, connect, advise, fill; the list is redrawn 500 ms
    // later.
    void Refresh();

    // A notification as the sink posts it: ignored unless it comes from the sink held now.
    void onSinkNotification(std::uint64_t sink, int state, const std::string& serial);
    // The handling of one notification state (-1 to 4).
    void handleNotification(int state, const std::string& serial);

    // The list's commands: rename (6357), remove an inactive device (6358), remove all
    // inactive devices (6359).
    bool commandEnabled(int id) const;
    void executeCommand(int id);
    void showContextMenu(const QPoint& globalPosition);

    const std::shared_ptr<CDeviceEventSink>& sink() const { return sink_; }

  private:
    void deselectIf(const std::string& serial);
    void renameSelected();
    void removeSelectedInactive();
    void removeAllInactive();

    ServiceConnection& connection_;
    CSourceListCtrl& list_;
    DeviceSelection& selection_;
    UserPrompts& prompts_;
    const StudioSettings& settings_;
    std::shared_ptr<CDeviceEventSink> sink_;
    std::uint64_t sinkCounter_ = 0;
};

}  // namespace qm::studio
