#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "studio/audio/audio_system.h"

// The output devices the preview can play to, and the one open render stream. The list starts
// with "Default" (the default render endpoint when the list was made), then every active render
// endpoint by its name. Selecting an endpoint opens the render stream on it and a peak meter on
// its output. One lock guards the list, the stream and the meter: the preview thread writes the
// stream under it, and the peak meter takes its reference to the output meter under it.
namespace qm::audio {

struct RenderDeviceItem {
    std::string name;
    std::string endpointId;
};

class CRenderDeviceList {
  public:
    explicit CRenderDeviceList(AudioSystem& audio);

    void Enumerate();
    std::size_t Count() const;
    std::optional<RenderDeviceItem> GetAt(std::size_t index) const;
    void Clear();

    // Re-opens the render stream: on `endpointId` when it is given, else on the endpoint
    // selected before. False when no endpoint is selected or the stream could not be opened
    // (the preview then renders nothing).
    bool Select(const std::optional<std::string>& endpointId);
    // The stream closed and the endpoint and meter forgotten, as when the frame closes.
    void Release();

    std::optional<std::string> selectedEndpoint() const;
    std::shared_ptr<PeakMeter> outputMeter() const;

    // Runs `use` with the open render stream (or null) under the list lock.
    template <typename Use>
    void withRenderStream(Use&& use) {
        std::lock_guard guard(mutex_);
        use(stream_.get());
    }

  private:
    AudioSystem& audio_;
    mutable std::mutex mutex_;
    std::vector<RenderDeviceItem> items_;
    std::optional<std::string> selected_;
    std::unique_ptr<RenderStream> stream_;
    std::shared_ptr<PeakMeter> outputMeter_;
};

}  // namespace qm::audio
