#pragma once

#include <QApplication>
#include <QDialog>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "scripted_device.h"
#include "studio/profiles/profile_host.h"
#include "studio/shell/fake_parts.h"
#include "studio/shell/settle.h"
#include "support/temp_folder.h"

namespace qm::studio::testing {

// A selected microphone kept by hand, a folder of its own, and a device every apply opens.
class FakeHost final : public ProfileHost {
  public:
    std::string selectedSerial() const override { return serial; }
    std::string selectedProduct() const override { return product; }
    bool selectedStarted() const override { return started; }
    void readSelectedDescription(QObject*,
                                 std::function<void(std::optional<std::string>)> done) override {
        done(description);
    }
    void reselect() override { ++reselections; }
    ApplyWorker::DeviceOpener deviceOpener() override {
        return [device = device](const std::string&) -> std::shared_ptr<sdk::IQMDevice> {
            return device;
        };
    }
    std::filesystem::path profileFolder() const override { return folder.path(); }
    UserPrompts& prompts() override { return userPrompts; }

    std::string serial = "SN1001";
    std::string product = "Alder";
    bool started = true;
    std::optional<std::string> description =
        R"(<?xml version="1.0"?><Device SN="SN1001" Name="Alder" LPF="5" DspVolume="145"/>)";
    int reselections = 0;
    std::shared_ptr<profiles::testing::ScriptedDevice> device =
        std::make_shared<profiles::testing::ScriptedDevice>();
    RecordingPrompts userPrompts;
    qm::testing::TempFolder folder;
};

inline void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace qm::studio::testing
