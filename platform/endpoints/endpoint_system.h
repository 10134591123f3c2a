#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/sdk/guid.h"

// Audio endpoint news and the container ids that tie an audio endpoint to the bridge of the same
// microphone. The Linux implementation watches sound cards; the simulated one is driven by
// plugging virtual microphones.
namespace qm::endpoints {

// Endpoint states, with the values the audio system uses.
inline constexpr std::uint32_t DEVICE_STATE_ACTIVE = 0x1;
inline constexpr std::uint32_t DEVICE_STATE_DISABLED = 0x2;
inline constexpr std::uint32_t DEVICE_STATE_NOTPRESENT = 0x4;
inline constexpr std::uint32_t DEVICE_STATE_UNPLUGGED = 0x8;

// Receives endpoint news on the thread that discovered them. Handlers may take time (they look
// bridges up) but must not call back into the endpoint system's registration.
class EndpointListener {
  public:
    virtual ~EndpointListener() = default;
    virtual void OnDeviceAdded(const std::string& endpointId) = 0;
    virtual void OnDeviceStateChanged(const std::string& endpointId, std::uint32_t newState) = 0;
};

class EndpointSystem {
  public:
    virtual ~EndpointSystem() = default;

    // One listener at a time; null unregisters. Returns once no callback to an earlier listener
    // is running any more.
    virtual void setListener(EndpointListener* listener) = 0;

    // The container id of an audio endpoint, when it has one.
    virtual std::optional<sdk::Guid> containerIdOfEndpoint(const std::string& endpointId) = 0;

    // The container id text (braced) that the system keeps for a USB device it has seen, by
    // vendor id, product id (four hexadecimal digits) and serial number.
    virtual std::optional<std::string> usbContainerId(std::string_view vendorId,
                                                      std::string_view productId,
                                                      std::string_view serial) = 0;
};

// The container id of a USB device as both implementations derive it: a name-based id of its
// vendor, product and serial (hexadecimal ids in upper case), or of its device path when it has
// no serial. The audio endpoint and the bridge of one microphone are the same USB device (or
// share its parent), so they get the same id.
sdk::Guid usbDeviceContainerId(std::string_view vendorId, std::string_view productId,
                               std::string_view serialOrPath);

}  // namespace qm::endpoints
