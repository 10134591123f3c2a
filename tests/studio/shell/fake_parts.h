#pragma once

#include <QString>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "studio/shell/link_opener.h"
#include "studio/shell/studio_hooks.h"
#include "studio/shell/studio_settings.h"
#include "studio/shell/user_prompts.h"

namespace qm::studio::testing {

// Records every prompt and answers questions with a preset answer. `whileOpen` runs while a
// question or dialog is open, as the events its nested event loop handles would.
class RecordingPrompts final : public UserPrompts {
  public:
    struct Shown {
        QString text;
        Icon icon;
    };

    void showMessage(const QString& text, Icon icon) override { messages.push_back({text, icon}); }
    bool askYesNo(const QString& text, Icon icon) override {
        questions.push_back({text, icon});
        runWhileOpen();
        return answer;
    }
    bool editNameAndDescription(const QString& title, QString& name,
                                QString& description) override {
        editTitles.push_back(title);
        editedFrom = {name, description};
        runWhileOpen();
        if (!answer) {
            return false;
        }
        name = newName;
        description = newDescription;
        return true;
    }

    void runWhileOpen() {
        if (whileOpen) {
            auto once = std::move(whileOpen);
            whileOpen = nullptr;
            once();
        }
    }

    std::function<void()> whileOpen;
    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::vector<QString> editTitles;
    std::pair<QString, QString> editedFrom;
    bool answer = true;
    QString newName = QStringLiteral("Booth mic");
    QString newDescription = QStringLiteral("Room 2");
};

class RecordingLinks final : public LinkOpener {
  public:
    bool open(const QString& link) override {
        opened.push_back(link);
        return true;
    }
    std::vector<QString> opened;
};

// The capture endpoints of the audio system: one per container id the test registers, and the
// fallback, when there is one, for any other.
class FakeEndpoints final : public AudioEndpoints {
  public:
    std::optional<std::string> captureEndpointFor(const sdk::Guid& containerId) override {
        asked.push_back(containerId);
        for (const auto& [id, endpoint] : endpoints) {
            if (id == containerId) {
                return endpoint;
            }
        }
        return fallback;
    }
    std::vector<std::pair<sdk::Guid, std::string>> endpoints;
    std::optional<std::string> fallback;
    std::vector<sdk::Guid> asked;
};

// Records what the shell asks of the monitoring views (and, through RecordingPanels, of the
// panels), in order.
class RecordingParts final : public MonitoringHooks {
  public:
    void setIdle() override { calls.push_back("idle"); }
    void stopCapture() override { calls.push_back("stopCapture"); }
    void fillOutputDevices() override { calls.push_back("fillOutputs"); }
    void startCapture(const std::string& endpoint) override {
        calls.push_back("startCapture " + endpoint);
    }
    void selectOutputDevice(int index) override {
        calls.push_back("selectOutput " + std::to_string(index));
    }
    void showOutputVolume(int position) override {
        calls.push_back("outputVolume " + std::to_string(position));
    }
    void spectrumBoundChanged() override { calls.push_back("spectrumBound"); }
    void releaseOutputDevices() override { calls.push_back("releaseOutputs"); }
    void loadDevice(std::uint32_t mask) { calls.push_back("loadPanels " + std::to_string(mask)); }

    bool called(const std::string& call) const {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
    std::vector<std::string> calls;
};

// The panels' calls, recorded in the same list as the monitoring calls so that their order shows.
class RecordingPanels final : public PanelHooks {
  public:
    explicit RecordingPanels(RecordingParts& parts) : parts_(parts) {}
    void setIdle() override { parts_.calls.push_back("panelsIdle"); }
    void loadDevice(const std::shared_ptr<sdk::IQMDevice>&, std::uint32_t mask) override {
        parts_.loadDevice(mask);
    }

  private:
    RecordingParts& parts_;
};

// Notes the settings the analysis sees at each change of a view setting.
class RecordingAnalysis final : public AnalysisHooks {
  public:
    explicit RecordingAnalysis(std::function<const StudioSettings&()> settings)
        : settings_(std::move(settings)) {}
    void start() override {}
    void stop() override {}
    void viewSettingsChanged() override { seen.push_back(settings_()); }
    std::vector<StudioSettings> seen;

  private:
    std::function<const StudioSettings&()> settings_;
};

}  // namespace qm::studio::testing
