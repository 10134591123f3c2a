#include "studio/shell/backstage_page_device.h"

#include <QComboBox>
#include <QLabel>

#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"
#include "studio/shell/backstage_page_parts.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/string_table.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/tonecraft_app.h"
#include "studio/shell/user_prompts.h"

namespace qm::studio {
namespace {

constexpr const char* kDeviceMode = "DeviceMode";
constexpr int kModeChanged = 3777;
constexpr int kRestartNow = 3780;

}  // namespace

CBackstagePageDevice::CBackstagePageDevice(CTonecraftApp& app, CMainFrame& frame, QWidget* parent)
    : QWidget(parent), app_(app), frame_(frame) {
    setObjectName(QStringLiteral("backstagePage178"));
    QVBoxLayout* column = backstageColumn(this, tr("Device options"));
    column->addWidget(new QLabel(tr("Select mode:"), this));
    modes_ = new QComboBox(this);
    modes_->setObjectName(QStringLiteral("control6423"));
    modes_->addItem(loadString(3775));
    modes_->addItem(loadString(3776));
    column->addWidget(modes_);
    column->addStretch(1);

    // A missing value, one of another type or an unknown mode counts as 0.
    registry::Key key;
    if (app_.store().openKey(registry::Hive::LocalMachine, keys::kDevicesPath,
                             registry::Access::Read, key) == registry::ERROR_SUCCESS) {
        value_ = registry::readDword(key, kDeviceMode).value_or(0) == 1 ? 1 : 0;
    }
    modes_->setCurrentIndex(value_);
    connect(modes_, &QComboBox::activated, this, &CBackstagePageDevice::choose);
}

void CBackstagePageDevice::choose(int index) {
    if (index < 0 || index > 1) {
        return;
    }
    modes_->setCurrentIndex(index);
    UserPrompts& prompts = app_.prompts();
    if (index != value_) {
        prompts.showMessage(loadString(kModeChanged), UserPrompts::Icon::Information);
    }
    value_ = index;
    registry::Key key;
    if (app_.store().createKey(registry::Hive::LocalMachine, keys::kDevicesPath,
                               registry::Access::ReadWrite, key) != registry::ERROR_SUCCESS ||
        registry::writeDword(key, kDeviceMode, static_cast<std::uint32_t>(index)) !=
            registry::ERROR_SUCCESS) {
        return;
    }
    if (prompts.askYesNo(loadString(kRestartNow), UserPrompts::Icon::Information)) {
        QMetaObject::invokeMethod(
            &frame_, [frame = &frame_] { frame->onCommand(ids::kServiceRestart); },
            Qt::QueuedConnection);
    }
}

}  // namespace qm::studio
