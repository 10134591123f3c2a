#pragma once

#include <optional>
#include <string>

#include "common/sdk/guid.h"
#include "studio/audio/audio_system.h"

namespace qm::audio {

// The first present capture endpoint that belongs to the USB device with this container id:
// how the studio finds a microphone's sound from its bridge's identity.
std::optional<std::string> findCaptureEndpoint(AudioSystem& audio, const sdk::Guid& containerId);

}  // namespace qm::audio
