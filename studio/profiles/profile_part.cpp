#include "studio/profiles/profile_part.h"

#include <QLayout>

#include "common/text/text.h"
#include "studio/profiles/pane_profile.h"
#include "studio/profiles/profile_commands.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/service_connector.h"
#include "studio/shell/tonecraft_app.h"

namespace qm::studio {
namespace {

// The microphone of a serial number in a device manager's list; null when it isn't there.
std::shared_ptr<sdk::IQMDevice> deviceOf(sdk::IQuillmereSDK& manager, const std::string& serial) {
    std::shared_ptr<sdk::IEnumQMDevice> list;
    if (sdk::FAILED(manager.EnumQMDevice(&list)) || !list)
        return nullptr;
    std::shared_ptr<sdk::IQMDevice> device;
    unsigned long fetched = 0;
    while (list->Next(1, &device, &fetched) == sdk::S_OK && fetched == 1) {
        std::string candidate;
        if (device && sdk::SUCCEEDED(device->GetDeviceSN(candidate)) &&
            text::asciiIEquals(candidate, serial))
            return device;
    }
    return nullptr;
}

// The profile part's view of the main frame and the studio.
class FrameProfileHost final : public ProfileHost {
  public:
    FrameProfileHost(CMainFrame& frame, CTonecraftApp& app) : frame_(frame), app_(app) {}

    std::string selectedSerial() const override {
        return frame_.selection().selected() ? frame_.selection().selectedSerial() : std::string();
    }
    std::string selectedProduct() const override { return frame_.selection().selectedInfo().name; }
    bool selectedStarted() const override {
        const std::string serial = selectedSerial();
        return !serial.empty() && app_.connection().isStarted(serial);
    }
    void readSelectedDescription(QObject* receiver,
                                 std::function<void(std::optional<std::string>)> done) override {
        const DeviceSelection& selection = frame_.selection();
        frame_.serviceCalls().post(
            ServiceCalls::laneOf(selection.selectedSerial()), receiver,
            [device = selection.selected()]() -> std::optional<std::string> {
                std::string xml;
                if (!device || sdk::FAILED(device->GetDeviceXML(xml)))
                    return std::nullopt;
                return xml;
            },
            std::move(done), selection.guard());
    }
    void reselect() override {
        DeviceSelection& selection = frame_.selection();
        if (!selection.selected())
            return;
        const ServiceDevice* known = app_.connection().find(selection.selectedSerial());
        const DeviceInfo info = known ? known->info : selection.selectedInfo();
        selection.select(selection.selected(), info);
    }
    ApplyWorker::DeviceOpener deviceOpener() override {
        ServiceConnector* connector = app_.environment().connector;
        return [connector](const std::string& serial) -> std::shared_ptr<sdk::IQMDevice> {
            const auto manager = connector ? connector->connect() : nullptr;
            return manager ? deviceOf(*manager, serial) : nullptr;
        };
    }
    std::filesystem::path profileFolder() const override { return app_.profileFolder(); }
    UserPrompts& prompts() override { return app_.prompts(); }

  private:
    CMainFrame& frame_;
    CTonecraftApp& app_;
};

}  // namespace

ProfilePart::ProfilePart() = default;
ProfilePart::~ProfilePart() = default;

void ProfilePart::attach(CMainFrame& frame, CTonecraftApp& app) {
    host_ = std::make_unique<FrameProfileHost>(frame, app);
    QWidget* place = frame.profilePanePlace();
    auto* pane = new CPaneProfile(place);
    place->layout()->addWidget(pane);  // the place comes with its layout
    // The commands go with the pane, and with them the apply workers that outlived a dialog.
    commands_ = new ProfileCommands(*host_, *pane, pane);
    commands_->reloadList();
}

void ProfilePart::clearList() {
    if (commands_)
        commands_->clearList();
}
void ProfilePart::fillList() {
    if (commands_)
        commands_->fillList();
}
void ProfilePart::reloadList() {
    if (commands_)
        commands_->reloadList();
}
bool ProfilePart::canSave() {
    return commands_ && commands_->canSave();
}
void ProfilePart::save() {
    if (commands_)
        commands_->save();
}
bool ProfilePart::canApply() {
    return commands_ && commands_->canApply();
}
void ProfilePart::apply() {
    if (commands_)
        commands_->apply();
}
bool ProfilePart::canRename() {
    return commands_ && commands_->canRename();
}
void ProfilePart::rename() {
    if (commands_)
        commands_->rename();
}

}  // namespace qm::studio
