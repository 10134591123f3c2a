#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "studio/audio/analysis_state.h"
#include "studio/audio/audio_capture.h"
#include "studio/audio/audio_session_volume.h"
#include "studio/audio/audio_system.h"
#include "studio/audio/render_device_list.h"
#include "studio/shell/studio_hooks.h"

class QComboBox;

namespace qm::studio {

class CMainFrame;
class CTonecraftApp;

// The studio's side of the audio system: it finds a microphone's capture endpoint by the USB
// container id, captures the selected microphone for the analysis and the preview, keeps the
// output devices of the ribbon's "Select output renderer device" combo, follows "Audio Preview",
// applies and stores the input and output volumes, reports the preview volume changed outside
// the studio to the main frame (outputVolumeShown then moves the output slider). Its capture is
// the meters' source of peak levels.
class AudioMonitoring final : public QObject, public MonitoringHooks, public AudioEndpoints {
    Q_OBJECT

  public:
    AudioMonitoring(audio::AudioSystem& audio, audio::AnalysisState& analysis);
    ~AudioMonitoring() override;

    // The ribbon's part, once the main frame exists: the preview volume listener, the output
    // devices listed with "Default" opened and shown, the preview switch and the volumes taken
    // from the settings.
    void attach(CMainFrame& frame, CTonecraftApp& app);

    std::optional<std::string> captureEndpointFor(const sdk::Guid& containerId) override;

    void setIdle() override;
    void stopCapture() override;
    void fillOutputDevices() override;
    void startCapture(const std::string& endpointId) override;
    void selectOutputDevice(int index) override;
    void showOutputVolume(int position) override;
    void spectrumBoundChanged() override {}
    void releaseOutputDevices() override;

    // The input or the output volume slider moved to a position 0 .. 1000: the volume applied
    // and stored.
    void inputVolumeMoved(int position);
    void outputVolumeMoved(int position);

    // Also the peak levels of the meters.
    audio::AudioCapture& capture() { return capture_; }
    audio::CRenderDeviceList& outputDevices() { return renders_; }

  signals:
    // The output volume slider is to show this position (0 .. 1000).
    void outputVolumeShown(int position);

  private:
    void fillCombo();

    audio::AudioSystem& audio_;
    audio::CRenderDeviceList renders_;
    audio::AudioCapture capture_;
    std::unique_ptr<audio::CAudioSessionVolume> previewVolume_;
    QPointer<CMainFrame> frame_;
    QPointer<QComboBox> combo_;
    CTonecraftApp* app_ = nullptr;
    int chosen_ = 0;  // the combo entry the user chose last
};

}  // namespace qm::studio
