#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/sdk/guid.h"
#include "common/sdk/interfaces.h"

// What the shell asks of the studio's other parts: the audio system, the monitoring views, the
// control panels, the profile list and service control. The shell calls each through these
// interfaces; a part that is not plugged in (a null pointer in StudioHooks) is passed over.
//
// Every hook is called on the GUI thread and must not wait for the service there. A part that
// needs the service (the panels reading the selected microphone, a change they send) posts the
// call through CMainFrame::serviceCalls() on the microphone's lane (postChange for a change)
// and ties the result to CMainFrame::selection().guard(). The ribbon asks the can...() and
// isServiceRunning() handlers four times a second: they answer from state the part keeps.
namespace qm::studio {

// The audio system's capture endpoints, matched to a microphone by its USB container id.
class AudioEndpoints {
  public:
    virtual ~AudioEndpoints() = default;
    // The id of the active capture endpoint of the USB device with this container id, or
    // nothing when there is none.
    virtual std::optional<std::string> captureEndpointFor(const sdk::Guid& containerId) = 0;
};

// Capture of the selected microphone, the preview output and the monitoring views.
class MonitoringHooks {
  public:
    virtual ~MonitoringHooks() = default;
    // Views to their idle state and the list of preview output devices emptied.
    virtual void setIdle() = 0;
    // Both capture threads stopped (each given a bounded wait).
    virtual void stopCapture() = 0;
    // The list of preview output devices filled again.
    virtual void fillOutputDevices() = 0;
    // Capture started on the endpoint, for each capture thread not running.
    virtual void startCapture(const std::string& endpointId) = 0;
    // The preview output device at this index of the list chosen.
    virtual void selectOutputDevice(int index) = 0;
    // The output volume slider moved to this position (0 .. 1000).
    virtual void showOutputVolume(int position) = 0;
    // SpectrumBound changed: the spectrum view updates itself.
    virtual void spectrumBoundChanged() = 0;
    // The render endpoints released when the frame closes.
    virtual void releaseOutputDevices() = 0;
};

// The control-panel host.
class PanelHooks {
  public:
    virtual ~PanelHooks() = default;
    // Every panel idle and hidden, every tab disabled, the profile list emptied.
    virtual void setIdle() = 0;
    // The tabs of the mask enabled and the panels filled from the microphone.
    virtual void loadDevice(const std::shared_ptr<sdk::IQMDevice>& device,
                            std::uint32_t panelMask) = 0;
};

// The profile list and the profile commands of the ribbon.
class ProfileHooks {
  public:
    virtual ~ProfileHooks() = default;
    // The selection procedure: the list emptied whenever the selection changes, and filled with
    // the profiles of the selected microphone's model once the microphone has been matched.
    virtual void clearList() {}
    virtual void fillList() {}
    virtual void reloadList() = 0;
    virtual bool canSave() = 0;
    virtual void save() = 0;
    virtual bool canApply() = 0;
    virtual void apply() = 0;
    virtual bool canRename() = 0;
    virtual void rename() = 0;
};

// Starting, stopping and restarting the service.
class ServiceControlHooks {
  public:
    virtual ~ServiceControlHooks() = default;
    virtual bool isServiceRunning() = 0;
    // A start, stop or restart is under way.
    virtual bool busy() const { return false; }
    // The service manager could be reached at the last look.
    virtual bool reachable() const { return true; }
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void restart() = 0;
};

// The analysis of the monitoring views: its thread started after the frame and stopped at exit,
// and the views' settings applied when the ribbon changes one.
class AnalysisHooks {
  public:
    virtual ~AnalysisHooks() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    // A view setting (spectrum view, markers, draw mode, window function, wave scale, wave mode,
    // spectrum bound) has its new value in the studio's settings: the analysis and the views
    // take it now.
    virtual void viewSettingsChanged() {}
};

struct StudioHooks {
    AudioEndpoints* endpoints = nullptr;
    MonitoringHooks* monitoring = nullptr;
    PanelHooks* panels = nullptr;
    ProfileHooks* profiles = nullptr;
    ServiceControlHooks* serviceControl = nullptr;
    AnalysisHooks* analysis = nullptr;
};

// The capture endpoints of a studio without an audio system yet: no capture endpoint is ever
// found, so a selected microphone keeps its panels disabled and nothing is captured. The
// audio system replaces it with the real lookup.
class NoAudioEndpoints final : public AudioEndpoints {
  public:
    std::optional<std::string> captureEndpointFor(const sdk::Guid&) override {
        return std::nullopt;
    }
};

}  // namespace qm::studio
