#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/sdk/guid.h"

// The studio's view of the machine's sound system: the capture endpoints with the USB container
// id of the device each belongs to, the render endpoints, shared capture and render streams, the
// volume of each capture stream and of this program's render session, and a peak level per
// endpoint. Every stream carries interleaved 32-bit float frames of two channels at 48 kHz; an
// implementation asks its sound server for that format and lets the server convert.
//
// Implementations run the sound server's callbacks on their own thread. Nothing here waits for
// the server: opening a stream returns at once and the stream reports when it runs or fails.
namespace qm::audio {

inline constexpr std::size_t kStreamChannels = 2;
inline constexpr int kStreamRate = 48'000;

struct CaptureEndpoint {
    std::string id;                        // the server's stable name of the endpoint
    std::string name;                      // what a person reads
    std::optional<sdk::Guid> containerId;  // of its USB device; nothing when it has none

    friend bool operator==(const CaptureEndpoint&, const CaptureEndpoint&) = default;
};

struct RenderEndpoint {
    std::string id;
    std::string name;

    friend bool operator==(const RenderEndpoint&, const RenderEndpoint&) = default;
};

// The recent peak of an endpoint's signal, 0.0 (silence) to 1.0 (full scale) and above for
// signals over full scale. Thread-safe.
class PeakMeter {
  public:
    virtual ~PeakMeter() = default;
    virtual float GetPeakValue() const = 0;
};

// A shared capture stream. Used by one thread at a time.
class CaptureStream {
  public:
    enum class Read {
        Packet,  // `frames` holds the next packet
        Empty,   // nothing to read now; the stream calls its wake function when there is
        Failed,  // the stream has ended (endpoint gone, server gone): it gives nothing more
    };

    virtual ~CaptureStream() = default;

    // Moves the next packet of whole interleaved frames into `frames` (resized to it; its
    // capacity is reused, so a steady stream does not allocate).
    virtual Read readPacket(std::vector<float>& frames) = 0;
    // The stream's volume, 0.0 … 1.0, applied by the server to what the stream captures.
    virtual void SetMasterVolume(float level) = 0;
};

// A shared render stream. Used by one thread at a time.
class RenderStream {
  public:
    virtual ~RenderStream() = default;

    // Frames that can be written now: the buffer size less the frames still queued to play.
    // Nothing when the stream cannot tell (not yet running, or failed).
    virtual std::optional<std::size_t> freeFrames() = 0;
    // Queues whole interleaved frames; with `silent` the frames are played as silence.
    virtual bool write(std::span<const float> frames, bool silent) = 0;
};

// The volume of this program's render session: every render stream the program opens plays at
// it. Changes are reported with the context given by whoever made them (a null id when the
// change came from outside the program), so the program can tell its own changes apart.
class SessionVolume {
  public:
    using Listener = std::function<void(float level, bool muted, const sdk::Guid& context)>;

    virtual ~SessionVolume() = default;
    virtual void SetMasterVolume(float level, const sdk::Guid& context) = 0;
    virtual float GetMasterVolume() const = 0;
    // One listener at a time, called on the audio system's thread; an empty one unregisters.
    // Returns once no call to an earlier listener is running.
    virtual void setListener(Listener listener) = 0;
};

class AudioSystem {
  public:
    virtual ~AudioSystem() = default;

    // Endpoints that are present and usable now.
    virtual std::vector<CaptureEndpoint> captureEndpoints() = 0;
    virtual std::vector<RenderEndpoint> renderEndpoints() = 0;
    virtual std::optional<RenderEndpoint> defaultRenderEndpoint() = 0;
    // Called on the audio system's thread after the endpoints changed; empty unregisters.
    // Returns once no call to an earlier handler is running.
    virtual void setEndpointsChanged(std::function<void()> changed) = 0;

    // Opens a stream on an endpoint. `wake` is called on the audio system's thread whenever the
    // stream may have something new to read (a packet, or its end), and never once the stream is
    // destroyed. Nothing when the endpoint is unknown or the server refuses at once.
    virtual std::unique_ptr<CaptureStream> openCapture(const std::string& endpointId,
                                                       std::function<void()> wake) = 0;
    // The stream starts at the session volume.
    virtual std::unique_ptr<RenderStream> openRender(const std::string& endpointId) = 0;

    virtual std::shared_ptr<PeakMeter> captureMeter(const std::string& endpointId) = 0;
    virtual std::shared_ptr<PeakMeter> renderMeter(const std::string& endpointId) = 0;

    virtual SessionVolume& renderSessionVolume() = 0;
};

}  // namespace qm::audio
