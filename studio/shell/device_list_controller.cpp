#include "studio/shell/device_list_controller.h"

#include <QTimer>

#include "common/sdk/identifiers.h"
#include "studio/controls/popup_menu.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/device_event_sink.h"
#include "studio/shell/device_selection.h"
#include "studio/shell/service_calls.h"
#include "studio/shell/service_connection.h"
#include "studio/shell/service_connector.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/string_table.h"
#include "studio/shell/studio_settings.h"
#include "studio/shell/user_prompts.h"

namespace qm::studio {

struct DeviceListController::RefreshOutcome {
    ServiceSnapshot snapshot;
    bool advised = false;
};

DeviceListController::DeviceListController(ServiceConnection& connection, ServiceCalls& calls,
                                           CSourceListCtrl& list, DeviceSelection& selection,
                                           UserPrompts& prompts, const StudioSettings& settings,
                                           QObject* parent)
    : QObject(parent),
      connection_(connection),
      calls_(calls),
      list_(list),
      selection_(selection),
      prompts_(prompts),
      settings_(settings) {
    connect(&list_, &CSourceListCtrl::deviceSelected, this, [this](const DevicePtr& device) {
        const ServiceDevice* known = connection_.find(device);
        if (known != nullptr) {
            selection_.select(device, known->info);
        } else {
            selection_.selectNone();
        }
        list_.viewport()->update();
    });
    connect(&list_, &CSourceListCtrl::contextMenuRequested, this,
            &DeviceListController::showContextMenu);
}

DeviceListController::~DeviceListController() {
    // No presence news may arrive while this object goes.
    watch_.reset();
    if (sink_ != nullptr) {
        sink_->detach();
    }
}

void DeviceListController::watchService() {
    watch_ = connection_.connector().watch([this](bool present) {
        QMetaObject::invokeMethod(
            this, [this, present] { onServicePresence(present); }, Qt::QueuedConnection);
    });
}

std::shared_ptr<CDeviceEventSink> DeviceListController::makeSink() {
    return std::make_shared<CDeviceEventSink>(
        this,
        [this](std::uint64_t number, int state, const std::string& serial) {
            onSinkNotification(number, state, serial);
        },
        ++sinkCounter_);
}

void DeviceListController::Unadvise() {
    if (sink_ == nullptr) {
        return;
    }
    if (const auto service = connection_.sdkPtr()) {
        calls_.post(ServiceCalls::kManagerLane,
                    [service, sink = sink_] { static_cast<void>(service->UnadviceSink(sink)); });
    }
    sink_->detach();
    sink_.reset();
}

void DeviceListController::FillList() {
    list_.deleteAllItems();
    for (const ServiceDevice& device : connection_.devices()) {
        if (settings_.showUnactive == 0 && !device.info.started) {
            continue;
        }
        list_.insertDevice(device.device, device.info);
    }
    selection_.selectNone();
}

void DeviceListController::Refresh() {
    Unadvise();
    list_.deleteAllItems();
    if (selection_.selected() != nullptr) {
        selection_.selectNone();
    }
    connection_.Disconnect();
    news_.clear();
    pending_.clear();
    refreshing_ = true;
    // Notifications of the new sink that come before the list is filled wait in pending_.
    sink_ = makeSink();
    const std::uint64_t generation = connection_.generation();
    calls_.post(
        ServiceCalls::kManagerLane, this,
        [&connector = connection_.connector(), &clock = connection_.clock(),
         limit = connection_.initializeLimit(), sink = sink_] {
            RefreshOutcome outcome{takeServiceSnapshot(connector, clock, limit)};
            if (outcome.snapshot.sdk != nullptr) {
                outcome.advised = sdk::SUCCEEDED(outcome.snapshot.sdk->AdviceSink(sink));
            }
            return outcome;
        },
        [this, generation, sink = sink_](RefreshOutcome outcome) {
            finishRefresh(generation, sink, std::move(outcome));
        });
}

void DeviceListController::finishRefresh(std::uint64_t generation,
                                         const std::shared_ptr<CDeviceEventSink>& sink,
                                         RefreshOutcome outcome) {
    if (generation != connection_.generation() || sink_ != sink) {
        // A newer refresh, the service's departure or the frame's closing came first.
        if (outcome.advised) {
            calls_.post(ServiceCalls::kManagerLane, [service = outcome.snapshot.sdk, sink] {
                static_cast<void>(service->UnadviceSink(sink));
            });
        }
        sink->detach();
        return;
    }
    refreshing_ = false;
    connection_.install(std::move(outcome.snapshot));
    auto pending = std::move(pending_);
    pending_.clear();
    if (!outcome.advised) {
        sink_->detach();
        sink_.reset();
        pending.clear();
    }
    FillList();
    for (const auto& [state, serial] : pending) {
        handleNotification(state, serial);
    }
    QTimer::singleShot(kRedrawDelayMs, &list_, [list = &list_] { list->redrawAll(); });
}

void DeviceListController::onSinkNotification(std::uint64_t sink, int state,
                                              const std::string& serial) {
    if (sink_ == nullptr || sink_->number() != sink) {
        return;
    }
    if (refreshing_) {
        pending_.emplace_back(state, serial);
        return;
    }
    handleNotification(state, serial);
}

void DeviceListController::onServicePresence(bool present) {
    if (presenceHeld_) {
        return;
    }
    if (present) {
        Refresh();
    } else if (connection_.connected() || refreshing_) {
        serviceGone();
    }
}

void DeviceListController::disconnectService() {
    Unadvise();
    refreshing_ = false;
    pending_.clear();
    news_.clear();
    list_.deleteAllItems();
    connection_.Disconnect();
}

void DeviceListController::serviceGone() {
    selection_.selectNone();
    disconnectService();
    prompts_.showMessage(loadString(3743), UserPrompts::Icon::Warning);
}

void DeviceListController::deselectIf(const std::string& serial) {
    if (selection_.isSelected(serial)) {
        selection_.selectNone();
        list_.clearSelectionMark();
    }
}

void DeviceListController::showDevice(const ServiceDevice& device) {
    const std::string& serial = device.info.serial;
    if (list_.containsDevice(serial)) {
        if (!device.info.started && settings_.showUnactive == 0) {
            deselectIf(serial);
            list_.deleteDevice(serial);
        } else {
            list_.updateDevice(device.info);
        }
    } else if (device.info.started) {
        list_.insertDevice(device.device, device.info);
    }
}

std::uint64_t DeviceListController::noteNews(const std::string& serial) {
    return ++news_[ServiceCalls::laneOf(serial)];
}

bool DeviceListController::newsSince(const std::string& serial, std::uint64_t news) const {
    const auto found = news_.find(ServiceCalls::laneOf(serial));
    return found != news_.end() && found->second != news;
}

void DeviceListController::readAgain(const std::string& serial) {
    const ServiceDevice* known = connection_.find(serial);
    if (known == nullptr) {
        return;
    }
    const auto news = news_[ServiceCalls::laneOf(serial)];
    const auto generation = connection_.generation();
    calls_.post(
        ServiceCalls::laneOf(serial), this,
        [device = known->device] { return readDeviceInfo(*device); },
        [this, device = known->device, serial, news, generation](DeviceInfo info) {
            // Later news about the microphone (or a new connection) knows better than this read.
            if (generation != connection_.generation() || newsSince(serial, news) ||
                !info.identified) {
                return;
            }
            if (ServiceDevice* current = connection_.find(device)) {
                current->info = std::move(info);
                showDevice(*current);
            }
        });
}

void DeviceListController::fetchNew(const std::string& serial) {
    const auto service = connection_.sdkPtr();
    if (service == nullptr) {
        return;
    }
    const auto news = news_[ServiceCalls::laneOf(serial)];
    const auto generation = connection_.generation();
    calls_.post(
        ServiceCalls::laneOf(serial), this,
        [service, serial] { return fetchDevice(*service, serial); },
        [this, serial, news, generation](std::optional<ServiceDevice> fetched) {
            if (!fetched || generation != connection_.generation() ||
                connection_.find(serial) != nullptr) {
                return;
            }
            connection_.append(std::move(*fetched));
            if (newsSince(serial, news)) {
                // What was read may be older than that news: read once more.
                readAgain(serial);
                return;
            }
            showDevice(*connection_.find(serial));
            list_.redrawAll();
        });
}

void DeviceListController::handleNotification(int state, const std::string& serial) {
    const bool showInactive = settings_.showUnactive != 0;
    switch (state) {
        case sdk::QM_NOTIFY_SERVICE_RELEASE:
            serviceGone();
            break;
        case sdk::QM_NOTIFY_STOPPED: {
            noteNews(serial);
            deselectIf(serial);
            ServiceDevice* known = connection_.find(serial);
            if (known != nullptr) {
                known->info.started = false;
            }
            if (!showInactive) {
                list_.deleteDevice(serial);
            } else if (known != nullptr) {
                list_.updateDevice(known->info);
            }
            readAgain(serial);
            break;
        }
        case sdk::QM_NOTIFY_STARTED:
            noteNews(serial);
            if (ServiceDevice* known = connection_.find(serial)) {
                known->info.started = true;
                showDevice(*known);
                readAgain(serial);
            }
            list_.redrawAll();
            break;
        case sdk::QM_NOTIFY_NEW:
            // Listed once the read confirms that it is started.
            noteNews(serial);
            if (connection_.find(serial) != nullptr) {
                readAgain(serial);
            } else {
                fetchNew(serial);
            }
            break;
        case sdk::QM_NOTIFY_REMOVED:
            noteNews(serial);
            deselectIf(serial);
            list_.deleteDevice(serial);
            connection_.removeBySerial(serial);
            break;
        case sdk::QM_NOTIFY_INACTIVE_REMOVED:
            Refresh();
            break;
        case sdk::QM_NOTIFY_PROFILE_APPLIED:
        case sdk::QM_NOTIFY_PROFILE_FAILED:
            // The service changed the microphone's settings (a failed run may have made some of
            // its steps): the selection procedure reads the panels anew.
            if (selection_.isSelected(serial)) {
                reselect(selection_.selected());
            }
            break;
        default:
            break;
    }
}

bool DeviceListController::selectedStarted() const {
    return selection_.selected() != nullptr && connection_.isStarted(selection_.selectedSerial());
}

void DeviceListController::reselect(const DevicePtr& device) {
    const ServiceDevice* known = connection_.find(device);
    if (known != nullptr && known->info.started && list_.containsDevice(known->info.serial)) {
        selection_.select(device, known->info);
    } else {
        selection_.selectNone();
        list_.clearSelectionMark();
    }
}

bool DeviceListController::commandEnabled(int id) const {
    switch (id) {
        case ids::kRenameDevice:
            return true;
        case ids::kRemoveInactive:
            return selection_.selected() != nullptr && !selectedStarted();
        case ids::kRemoveAllInactive:
            return list_.anyInactive();
        default:
            return false;
    }
}

void DeviceListController::executeCommand(int id) {
    if (!commandEnabled(id)) {
        return;
    }
    switch (id) {
        case ids::kRenameDevice:
            renameSelected();
            break;
        case ids::kRemoveInactive:
            removeSelectedInactive();
            break;
        case ids::kRemoveAllInactive:
            removeAllInactive();
            break;
        default:
            break;
    }
}

// The three commands below ask first. The question runs the event loop, so notifications are
// handled while it is open: each goes on only if the selection and the connection it asked
// about are still the current ones and its condition still holds.

void DeviceListController::renameSelected() {
    const DevicePtr device = selection_.selected();
    const ServiceDevice* known = connection_.find(device);
    if (known == nullptr) {
        return;
    }
    const auto ticket = selection_.ticket();
    const auto generation = connection_.generation();
    const std::string serial = known->info.serial;
    QString name = QString::fromStdString(known->info.friendlyName);
    QString text = QString::fromStdString(known->info.description);
    if (!prompts_.editNameAndDescription(loadString(3420), name, text)) {
        return;
    }
    if (!selection_.isCurrent(ticket) || generation != connection_.generation() ||
        !connection_.contains(device)) {
        return;
    }
    noteNews(serial);
    const auto news = news_[ServiceCalls::laneOf(serial)];
    calls_.post(
        ServiceCalls::laneOf(serial), this,
        [device, name = name.toStdString(), text = text.toStdString()] {
            // The list then shows what the service reports, whatever these answered.
            static_cast<void>(device->SetFriendlyName(name));
            static_cast<void>(device->SetDescription(text));
            return readDeviceInfo(*device);
        },
        [this, device, serial, news, generation](DeviceInfo info) {
            if (generation != connection_.generation() || newsSince(serial, news) ||
                !info.identified) {
                return;
            }
            if (ServiceDevice* current = connection_.find(device)) {
                current->info = std::move(info);
                showDevice(*current);
                list_.redrawAll();
            }
        });
}

void DeviceListController::removeSelectedInactive() {
    const DevicePtr device = selection_.selected();
    const auto ticket = selection_.ticket();
    const auto generation = connection_.generation();
    const std::string serial = selection_.selectedSerial();
    if (!prompts_.askYesNo(loadString(3778), UserPrompts::Icon::Question)) {
        return;
    }
    if (!selection_.isCurrent(ticket) || generation != connection_.generation() ||
        !commandEnabled(ids::kRemoveInactive)) {
        return;
    }
    calls_.post(ServiceCalls::laneOf(serial), [service = connection_.sdkPtr(), device] {
        // The list follows the service's removal notifications.
        static_cast<void>(service->RemoveDevice(device));
    });
}

void DeviceListController::removeAllInactive() {
    const auto generation = connection_.generation();
    if (!prompts_.askYesNo(loadString(3779), UserPrompts::Icon::Question)) {
        return;
    }
    if (generation != connection_.generation() || !commandEnabled(ids::kRemoveAllInactive)) {
        return;
    }
    calls_.post(ServiceCalls::kManagerLane, [service = connection_.sdkPtr()] {
        static_cast<void>(service->RemoveAllInactive());
    });
}

void DeviceListController::showContextMenu(const QPoint& globalPosition) {
    controls::PopupMenu menu(&list_);
    const auto add = [this, &menu](int id) {
        QAction* action = menu.addAction(loadString(id));
        action->setEnabled(commandEnabled(id));
        action->setData(id);
    };
    add(ids::kRenameDevice);
    menu.addSeparator();
    add(ids::kRemoveInactive);
    add(ids::kRemoveAllInactive);
    if (QAction* chosen = menu.exec(globalPosition)) {
        executeCommand(chosen->data().toInt());
    }
}

}  // namespace qm::studio
