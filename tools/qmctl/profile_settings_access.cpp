#include "tools/qmctl/profile_settings_access.h"

#include "common/profiles/profile_settings.h"
#include "common/settings/system_paths.h"
#include "platform/registry/status.h"
#include "platform/registry/store.h"
#include "platform/registry/value_rules.h"

namespace qm::qmctl {
namespace {

std::string statusText(long status) {
    switch (status) {
        case registry::ERROR_FILE_NOT_FOUND:
            return "the service keeps no settings for this microphone";
        case registry::ERROR_ACCESS_DENIED:
            return "the settings store may not be changed by this user";
        default:
            return "the settings store answered " + std::to_string(status);
    }
}

}  // namespace

StoreProfileSettings::StoreProfileSettings()
    : store_(std::make_unique<registry::Store>(registry::StoreLocations::fromEnvironment())) {}

StoreProfileSettings::~StoreProfileSettings() = default;

std::string StoreProfileSettings::profileFolder() {
    return profiles::readProfileFolder(*store_);
}

bool StoreProfileSettings::autoProfile(const std::string& serial, std::optional<std::string>& id,
                                       std::string& error) {
    id.reset();
    registry::Key key;
    const long status = store_->openKey(registry::Hive::LocalMachine,
                                        std::string(settings::kDevicesKey) + "\\" + serial,
                                        registry::Access::Read, key);
    if (status == registry::ERROR_FILE_NOT_FOUND)
        return true;
    if (status != registry::ERROR_SUCCESS) {
        error = statusText(status);
        return false;
    }
    id = profiles::readAutoProfile(key);
    return true;
}

bool StoreProfileSettings::setAutoProfile(const std::string& serial,
                                          const std::optional<std::string>& id,
                                          std::string& error) {
    // Only the service makes a microphone's key; a key made here would be a microphone the
    // service never saw.
    registry::Key key;
    long status = store_->openKey(registry::Hive::LocalMachine,
                                  std::string(settings::kDevicesKey) + "\\" + serial,
                                  registry::Access::ReadWrite, key);
    if (status == registry::ERROR_SUCCESS) {
        status = id ? registry::writeString(key, profiles::kAutoProfileValue, *id)
                    : key.deleteValue(profiles::kAutoProfileValue);
        if (!id && status == registry::ERROR_FILE_NOT_FOUND)
            status = registry::ERROR_SUCCESS;  // there was none
    }
    if (status != registry::ERROR_SUCCESS) {
        error = statusText(status);
        return false;
    }
    return true;
}

}  // namespace qm::qmctl
