#include "studio/audio/audio_capture.h"

namespace qm::audio {

AudioCapture::AudioCapture(AudioSystem& audio, CRenderDeviceList& renders, AnalysisState& analysis,
                           Clock& clock)
    : audio_(audio),
      renders_(renders),
      analysis_(analysis),
      previewThread_(clock),
      analysisThread_(clock) {}

AudioCapture::~AudioCapture() {
    StopCapture();
}

void AudioCapture::StartCapture(const std::string& endpointId) {
    StopCapture();
    ReleaseEndpoint();
    std::shared_ptr<PeakMeter> meter = audio_.captureMeter(endpointId);
    {
        std::lock_guard guard(endpointMutex_);
        endpoint_ = endpointId;
        inputMeter_ = meter;
    }
    if (meter == nullptr) {
        return;
    }
    const float volume = volumeInput_.load();
    if (!previewThread_.running()) {
        delayLine_.clear();
        previewThread_.start(audio_, endpointId, volume,
                             [this](std::span<const float> frames) { onPreviewPacket(frames); });
    }
    if (!analysisThread_.running()) {
        captureBlock_ = CaptureBlock{};
        analysisThread_.start(audio_, endpointId, volume,
                              [this](std::span<const float> frames) { onAnalysisPacket(frames); });
    }
}

void AudioCapture::StopCapture() {
    StopPreviewCapture();
    StopAnalysisCapture();
}

void AudioCapture::StopPreviewCapture() {
    previewThread_.stop();
}

void AudioCapture::StopAnalysisCapture() {
    analysisThread_.stop();
    analysis_.ResetAnalysis();
}

void AudioCapture::ReleaseEndpoint() {
    std::lock_guard guard(endpointMutex_);
    endpoint_.reset();
    inputMeter_.reset();
}

void AudioCapture::ChangeOutputDevice(const std::string& renderEndpointId) {
    StopCapture();
    renders_.Select(renderEndpointId);
    if (const std::optional<std::string> endpoint = captureEndpoint()) {
        StartCapture(*endpoint);
    }
}

void AudioCapture::setInputVolume(float volume) {
    volumeInput_.store(volume);
    if (captureEndpoint()) {
        previewThread_.setVolume(volume);
        analysisThread_.setVolume(volume);
    }
}

float AudioCapture::inputPeak() {
    std::shared_ptr<PeakMeter> meter;
    {
        std::lock_guard guard(endpointMutex_);
        meter = inputMeter_;
    }
    return meter != nullptr ? meter->GetPeakValue() : 0.0F;
}

float AudioCapture::outputPeak() {
    const std::shared_ptr<PeakMeter> meter = renders_.outputMeter();
    return meter != nullptr ? meter->GetPeakValue() : 0.0F;
}

std::optional<std::string> AudioCapture::captureEndpoint() const {
    std::lock_guard guard(endpointMutex_);
    return endpoint_;
}

void AudioCapture::onAnalysisPacket(std::span<const float> frames) {
    captureBlock_.takePacket(frames, kStreamChannels);
    analysis_.submitBlock(captureBlock_.samples());
}

void AudioCapture::onPreviewPacket(std::span<const float> frames) {
    delayLine_.takePacket(frames, kStreamChannels);
    const bool audible = preview_.load();
    renders_.withRenderStream([&](RenderStream* stream) {
        if (stream != nullptr) {
            delayLine_.render(*stream, audible);
        }
    });
}

}  // namespace qm::audio
