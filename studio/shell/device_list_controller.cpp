#include "studio/shell/device_list_controller.h"

#include <QMenu>
#include <QTimer>

#include "common/sdk/identifiers.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/device_event_sink.h"
#include "studio/shell/device_selection.h"
#include "studio/shell/service_connection.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/string_table.h"
#include "studio/shell/studio_settings.h"
#include "studio/shell/user_prompts.h"

namespace qm::studio {

DeviceListController::DeviceListController(ServiceConnection& connection, CSourceListCtrl& list,
                                           DeviceSelection& selection, UserPrompts& prompts,
                                           const StudioSettings& settings, QObject* parent)
    : QObject(parent),
      connection_(connection),
      list_(list),
      selection_(selection),
      prompts_(prompts),
      settings_(settings) {
    connect(&list_, &CSourceListCtrl::deviceSelected, this,
            [this](const CSourceListCtrl::DevicePtr& device) {
                selection_.select(device);
                list_.viewport()->update();
            });
    connect(&list_, &CSourceListCtrl::contextMenuRequested, this,
            &DeviceListController::showContextMenu);
}

DeviceListController::~DeviceListController() {
    if (sink_ != nullptr) {
        sink_->detach();
    }
}

void DeviceListController::Advise() {
    if (!connection_.connected()) {
        return;
    }
    if (sink_ != nullptr) {
        connection_.sdk()->UnadviceSink(sink_);
        sink_->detach();
        sink_.reset();
    }
    auto sink = std::make_shared<CDeviceEventSink>(
        this,
        [this](std::uint64_t number, int state, const std::string& serial) {
            onSinkNotification(number, state, serial);
        },
        ++sinkCounter_);
    if (sdk::FAILED(connection_.sdk()->AdviceSink(sink))) {
        sink->detach();
        return;
    }
    sink_ = std::move(sink);
}

void DeviceListController::Unadvise() {
    if (sink_ == nullptr) {
        return;
    }
    if (connection_.connected()) {
        connection_.sdk()->UnadviceSink(sink_);
    }
    sink_->detach();
    sink_.reset();
}

void DeviceListController::FillList() {
    list_.deleteAllItems();
    for (const auto& device : connection_.devices()) {
        if (settings_.showUnactive == 0 && device->IsStarted() != sdk::S_OK) {
            continue;
        }
        list_.insertDevice(device);
    }
    selection_.select(nullptr);
}

void DeviceListController::Refresh() {
    Unadvise();
    list_.deleteAllItems();
    connection_.Disconnect();
    connection_.Connect();
    Advise();
    FillList();
    QTimer::singleShot(kRedrawDelayMs, &list_, [list = &list_] { list->redrawAll(); });
}

void DeviceListController::onSinkNotification(std::uint64_t sink, int state,
                                              const std::string& serial) {
    if (sink_ == nullptr || sink_->number() != sink) {
        return;
    }
    handleNotification(state, serial);
}

void DeviceListController::deselectIf(const std::string& serial) {
    if (selection_.isSelected(serial)) {
        selection_.select(nullptr);
        list_.clearSelectionMark();
    }
}

void DeviceListController::handleNotification(int state, const std::string& serial) {
    const bool showInactive = settings_.showUnactive != 0;
    switch (state) {
        case sdk::QM_NOTIFY_SERVICE_RELEASE:
            Unadvise();
            selection_.select(nullptr);
            list_.deleteAllItems();
            connection_.Disconnect();
            prompts_.showMessage(loadString(3743), UserPrompts::Icon::Warning);
            break;
        case sdk::QM_NOTIFY_STOPPED:
            deselectIf(serial);
            if (showInactive) {
                list_.redrawDevice(serial);
            } else {
                list_.deleteDevice(serial);
            }
            break;
        case sdk::QM_NOTIFY_STARTED:
            if (showInactive && list_.containsDevice(serial)) {
                list_.redrawDevice(serial);
            } else if (!list_.containsDevice(serial)) {
                if (const auto device = connection_.findBySerial(serial)) {
                    list_.insertDevice(device);
                }
            }
            list_.redrawAll();
            break;
        case sdk::QM_NOTIFY_NEW: {
            auto device = connection_.findBySerial(serial);
            if (device == nullptr) {
                device = connection_.fetchNew(serial);
            }
            if (device != nullptr && device->IsStarted() == sdk::S_OK) {
                if (list_.containsDevice(serial)) {
                    list_.redrawDevice(serial);
                } else {
                    list_.insertDevice(device);
                }
            }
            list_.redrawAll();
            break;
        }
        case sdk::QM_NOTIFY_REMOVED:
            deselectIf(serial);
            list_.deleteDevice(serial);
            connection_.removeBySerial(serial);
            break;
        case sdk::QM_NOTIFY_INACTIVE_REMOVED:
            Refresh();
            break;
        default:
            break;
    }
}

bool DeviceListController::commandEnabled(int id) const {
    switch (id) {
        case ids::kRenameDevice:
            return true;
        case ids::kRemoveInactive:
            return selection_.selected() != nullptr &&
                   selection_.selected()->IsStarted() != sdk::S_OK;
        case ids::kRemoveAllInactive:
            for (const auto& device : list_.listedDevices()) {
                if (device->IsStarted() != sdk::S_OK) {
                    return true;
                }
            }
            return false;
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

void DeviceListController::renameSelected() {
    const auto device = list_.selectedDevice();
    if (device == nullptr) {
        return;
    }
    std::string friendlyName;
    std::string description;
    if (sdk::FAILED(device->GetFriendlyName(friendlyName))) {
        friendlyName.clear();
    }
    if (sdk::FAILED(device->GetDescription(description))) {
        description.clear();
    }
    QString name = QString::fromStdString(friendlyName);
    QString text = QString::fromStdString(description);
    if (!prompts_.editNameAndDescription(loadString(3420), name, text)) {
        return;
    }
    device->SetFriendlyName(name.toStdString());
    device->SetDescription(text.toStdString());
    list_.redrawDevice(serialOf(*device));
}

void DeviceListController::removeSelectedInactive() {
    const auto device = selection_.selected();
    if (!prompts_.askYesNo(loadString(3778), UserPrompts::Icon::Question)) {
        return;
    }
    if (connection_.connected()) {
        connection_.sdk()->RemoveDevice(device);
    }
}

void DeviceListController::removeAllInactive() {
    if (!prompts_.askYesNo(loadString(3779), UserPrompts::Icon::Question)) {
        return;
    }
    if (connection_.connected()) {
        connection_.sdk()->RemoveAllInactive();
    }
}

void DeviceListController::showContextMenu(const QPoint& globalPosition) {
    QMenu menu(&list_);
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
