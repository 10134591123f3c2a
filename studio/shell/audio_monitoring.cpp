#include "studio/shell/audio_monitoring.h"

#include <QComboBox>
#include <algorithm>

#include "studio/audio/capture_endpoint_lookup.h"
#include "studio/controls/ribbon_bar.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/main_frame.h"
#include "studio/shell/studio_keys.h"
#include "studio/shell/tonecraft_app.h"

namespace qm::studio {
namespace {

constexpr float kSliderMaximum = 1000.0F;

}  // namespace

AudioMonitoring::AudioMonitoring(audio::AudioSystem& audio, audio::AnalysisState& analysis)
    : audio_(audio), renders_(audio), capture_(audio, renders_, analysis) {}

AudioMonitoring::~AudioMonitoring() {
    previewVolume_.reset();
    capture_.StopCapture();
    renders_.Release();
}

void AudioMonitoring::attach(CMainFrame& frame, CTonecraftApp& app) {
    frame_ = &frame;
    app_ = &app;
    const StudioSettings& settings = app.settings();
    capture_.setPreview(settings.preview != 0);
    capture_.setInputVolume(settings.volumeInput);

    // A change made in a mixer arrives on the audio system's thread; the frame takes it on its
    // own thread, as a posted message.
    previewVolume_ = std::make_unique<audio::CAudioSessionVolume>(
        audio_.renderSessionVolume(), [this](float volume, bool) {
            QMetaObject::invokeMethod(
                this,
                [this, volume] {
                    if (frame_ != nullptr) {
                        frame_->setPreviewVolume(volume);
                    }
                },
                Qt::QueuedConnection);
        });
    previewVolume_->EnableNotifications(true);
    // The server keeps no volume for the studio between runs: the preview plays at the stored one.
    previewVolume_->SetVolume(settings.volumeOutput);

    // The frame toggles Preview first (it connected first); the capture threads then read it.
    connect(frame.ribbon(), &controls::RibbonBar::commandTriggered, this, [this](int id) {
        if (id == ids::kPreview && app_ != nullptr) {
            capture_.setPreview(app_->settings().preview != 0);
        }
    });

    combo_ = frame.ribbon()->controlAs<QComboBox>(ids::kOutputDevice);
    renders_.Enumerate();
    if (const auto first = renders_.GetAt(0)) {
        renders_.Select(first->endpointId);
    }
    chosen_ = 0;
    fillCombo();
}

std::optional<std::string> AudioMonitoring::captureEndpointFor(const sdk::Guid& containerId) {
    return audio::findCaptureEndpoint(audio_, containerId);
}

void AudioMonitoring::setIdle() {
    renders_.Clear();
    if (combo_ != nullptr) {
        combo_->clear();
    }
}

void AudioMonitoring::stopCapture() {
    capture_.StopCapture();
    capture_.ReleaseEndpoint();
}

void AudioMonitoring::fillOutputDevices() {
    renders_.Enumerate();
    fillCombo();
}

void AudioMonitoring::fillCombo() {
    if (combo_ == nullptr) {
        return;
    }
    combo_->clear();
    const std::optional<std::string> selected = renders_.selectedEndpoint();
    int shown = -1;
    for (std::size_t i = 0; i < renders_.Count(); ++i) {
        const auto item = renders_.GetAt(i);
        combo_->addItem(QString::fromStdString(item->name));
        // The entry the user chose, while it still names the open device; else the first that
        // does.
        const bool open = item->endpointId == selected;
        if (open && (shown < 0 || static_cast<int>(i) == chosen_)) {
            shown = static_cast<int>(i);
        }
    }
    combo_->setCurrentIndex(std::max(shown, combo_->count() > 0 ? 0 : -1));
}

void AudioMonitoring::startCapture(const std::string& endpointId) {
    capture_.StartCapture(endpointId);
}

void AudioMonitoring::selectOutputDevice(int index) {
    if (index < 0) {
        return;
    }
    if (const auto item = renders_.GetAt(static_cast<std::size_t>(index))) {
        chosen_ = index;
        renders_.Select(item->endpointId);
    }
}

void AudioMonitoring::showOutputVolume(int position) {
    emit outputVolumeShown(position);
}

void AudioMonitoring::releaseOutputDevices() {
    renders_.Release();
}

void AudioMonitoring::inputVolumeMoved(int position) {
    const float volume = static_cast<float>(position) / kSliderMaximum;
    capture_.setInputVolume(volume);
    if (app_ != nullptr) {
        app_->settings().volumeInput = volume;
        app_->registry().writeProfileDouble(keys::kOptions, "VolumeInput", volume);
    }
}

void AudioMonitoring::outputVolumeMoved(int position) {
    const float volume = static_cast<float>(position) / kSliderMaximum;
    if (previewVolume_ != nullptr) {
        previewVolume_->SetVolume(volume);
    }
    if (app_ != nullptr) {
        app_->settings().volumeOutput = volume;
        app_->registry().writeProfileDouble(keys::kOptions, "VolumeOutput", volume);
    }
}

}  // namespace qm::studio
