#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "common/runtime/clock.h"
#include "studio/audio/analysis_state.h"
#include "studio/audio/audio_system.h"
#include "studio/audio/capture_block.h"
#include "studio/audio/capture_thread.h"
#include "studio/audio/peak_levels.h"
#include "studio/audio/preview_delay_line.h"
#include "studio/audio/render_device_list.h"

// Capture of the selected microphone: the analysis capture thread hands channel 0 to the
// analysis in blocks of 480 samples; the preview capture thread plays channel 0 on both channels
// of the selected output device through a delay line. Also the input meter of the capture
// endpoint, the input monitoring volume (the volume of both capture streams) and the preview
// switch. Called from the studio's main thread; the preview switch and the volume reach the
// capture threads as an atomic and as messages.
namespace qm::audio {

class AudioCapture final : public PeakLevels {
  public:
    AudioCapture(AudioSystem& audio, CRenderDeviceList& renders, AnalysisState& analysis,
                 Clock& clock = Clock::real());
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;
    ~AudioCapture() override;

    // Both threads stopped; the endpoint and its input meter replaced; then each thread that
    // isn't running started on the endpoint. No thread starts when the meter can't be had.
    void StartCapture(const std::string& endpointId);
    // Both threads stopped, the preview first.
    void StopCapture();
    void StopPreviewCapture();
    // Also clears the analysis, so that the views draw empty.
    void StopAnalysisCapture();
    // The capture endpoint and its input meter forgotten (the meter then reads 0).
    void ReleaseEndpoint();

    // The output device changed: both threads stopped, the render stream re-opened on the
    // endpoint (the output meter follows it), capture restarted on the current endpoint.
    void ChangeOutputDevice(const std::string& renderEndpointId);

    void setPreview(bool audible) { preview_.store(audible); }
    bool preview() const { return preview_.load(); }
    // The input monitoring volume, 0 … 1: given to each capture stream as it starts, and to the
    // running ones when an endpoint is selected.
    void setInputVolume(float volume);
    float inputVolume() const { return volumeInput_.load(); }

    // Peak levels for the meters: the input meter of the capture endpoint, the output meter of
    // the selected output device; 0 without one.
    float inputPeak() override;
    float outputPeak() override;

    std::optional<std::string> captureEndpoint() const;
    bool previewRunning() const { return previewThread_.running(); }
    bool analysisRunning() const { return analysisThread_.running(); }

  private:
    void onAnalysisPacket(std::span<const float> frames);
    void onPreviewPacket(std::span<const float> frames);

    AudioSystem& audio_;
    CRenderDeviceList& renders_;
    AnalysisState& analysis_;
    std::atomic<bool> preview_{true};
    std::atomic<float> volumeInput_{0.5F};

    mutable std::mutex endpointMutex_;  // the endpoint and the meter; read by the peak meter
    std::optional<std::string> endpoint_;
    std::shared_ptr<PeakMeter> inputMeter_;

    CaptureBlock captureBlock_;   // the analysis thread's
    PreviewDelayLine delayLine_;  // the preview thread's
    CaptureThread previewThread_;
    CaptureThread analysisThread_;
};

}  // namespace qm::audio
