#include "studio/audio/capture_endpoint_lookup.h"

namespace qm::audio {

std::optional<std::string> findCaptureEndpoint(AudioSystem& audio, const sdk::Guid& containerId) {
    for (const CaptureEndpoint& endpoint : audio.captureEndpoints()) {
        if (endpoint.containerId == containerId) {
            return endpoint.id;
        }
    }
    return std::nullopt;
}

}  // namespace qm::audio
