#pragma once

#include <memory>
#include <optional>
#include <string>

namespace qm::registry {
class Store;
}

// How the profile commands reach the machine-wide profile settings of the settings store: the
// profile folder and the automatic profile of each microphone. Tests give the commands a fake.
namespace qm::qmctl {

class ProfileSettingsAccess {
  public:
    virtual ~ProfileSettingsAccess() = default;

    virtual std::string profileFolder() = 0;
    // A microphone's automatic profile; nothing when it has none. False, with the reason in
    // `error`, when the store can't be read.
    virtual bool autoProfile(const std::string& serial, std::optional<std::string>& id,
                             std::string& error) = 0;
    // Sets (or, with nothing, clears) the automatic profile in the microphone's key, which the
    // service must have made. False with the reason in `error`.
    virtual bool setAutoProfile(const std::string& serial, const std::optional<std::string>& id,
                                std::string& error) = 0;
};

// The settings store of this machine (see platform/registry/store_locations.h).
class StoreProfileSettings final : public ProfileSettingsAccess {
  public:
    StoreProfileSettings();
    ~StoreProfileSettings() override;

    std::string profileFolder() override;
    bool autoProfile(const std::string& serial, std::optional<std::string>& id,
                     std::string& error) override;
    bool setAutoProfile(const std::string& serial, const std::optional<std::string>& id,
                        std::string& error) override;

  private:
    std::unique_ptr<registry::Store> store_;
};

}  // namespace qm::qmctl
