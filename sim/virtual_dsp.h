#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/settings/device_settings.h"
#include "common/settings/models.h"

namespace qm::sim {

// The DSP of a virtual microphone: its 25 settings and how it answers each command frame.
// A model answers only the blocks it has; everything else is what a real microphone does:
// status requests get a reply frame with the block number in byte 0, changes get a one-byte
// acknowledgement (0 = accepted), resets restore or clear.
class VirtualDsp {
  public:
    struct HardwareVersion {
        std::uint8_t api = 0x01;
        std::uint8_t firmware = 0x12;
    };

    // What one frame caused: the bytes the microphone sends back, and whether it was a change.
    struct Response {
        std::vector<std::uint8_t> reply;
        bool isChange = false;
        bool isStatusRequest = false;
        bool clearsChannel = false;  // resets drop whatever the microphone had not yet sent
    };

    explicit VirtualDsp(settings::Model model);

    // Our factory values for a model: what a reset to defaults restores.
    static settings::DeviceSettings factoryDefaults(settings::Model model);

    // Handles one complete frame. `rejectWith` makes a change answer with that non-zero code and
    // leaves the setting untouched.
    Response handle(const std::vector<std::uint8_t>& frame,
                    std::optional<std::uint8_t> rejectWith = std::nullopt);

    // Number of bytes of the frame that starts with `command`; 1 for an unknown command.
    static std::size_t frameLength(std::uint8_t command);

    settings::Model model() const { return model_; }
    const settings::DeviceSettings& settings() const { return settings_; }
    void setSettings(const settings::DeviceSettings& s) { settings_ = s; }
    HardwareVersion hardwareVersion() const { return version_; }
    int resetCount() const { return resetCount_; }

  private:
    Response statusReply(std::uint8_t block) const;
    Response change(std::optional<settings::Setting> target, std::uint8_t value,
                    std::optional<std::uint8_t> rejectWith);
    bool reads(settings::SettingGroup group) const;

    settings::Model model_;
    settings::DeviceSettings settings_;
    HardwareVersion version_;
    int resetCount_ = 0;
};

}  // namespace qm::sim
