#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "common/runtime/clock.h"
#include "common/sdk/guid.h"
#include "sim/fault_plan.h"
#include "sim/virtual_dsp.h"

namespace qm::sim {

// Who a virtual microphone says it is, through its bridge and its audio endpoint.
struct MicrophoneIdentity {
    std::string serial;
    std::string product;                     // the model name, e.g. "Cedar"
    std::string manufacturer = "QUILLMERE";  // or "Silicon Laboratories"
    std::uint16_t vendorId = 0x10C4;
    std::uint16_t productId = 0xEAB0;
    sdk::Guid containerId;  // shared by the bridge and the audio endpoint

    // An identity for a model and serial with a container id derived from the serial, so the
    // same virtual microphone gets the same container id every time it is made.
    static MicrophoneIdentity make(std::string product, std::string serial);
};

// A virtual microphone as its bridge sees it: the DSP, the bytes on their way back to the
// host, the UART settings, and faults on demand. Thread-safe.
class VirtualMicrophone {
  public:
    VirtualMicrophone(MicrophoneIdentity identity, Clock& clock);

    const MicrophoneIdentity& identity() const { return identity_; }
    settings::Model model() const;

    // Channel side, used by the virtual bridge.
    enum class WriteResult { Written, Failed, Unplugged };
    WriteResult write(const std::uint8_t* data, std::size_t size);
    // Moves up to `max` bytes that have arrived by `at` into `out`; returns how many.
    std::size_t take(std::uint8_t* out, std::size_t max, TimePoint at);
    // When the `count`-th byte from now will have arrived, if any is on its way.
    std::optional<TimePoint> arrivalOf(std::size_t count) const;
    void noteRead();
    void configureUart(std::uint32_t baud, std::uint8_t dataBits, std::uint8_t parity,
                       std::uint8_t stopBits, std::uint8_t flowControl);

    // Plugged state; an unplugged microphone fails every call of its bridge.
    bool plugged() const;
    void setPlugged(bool plugged);

    // Test and simulator controls.
    void setFaults(const FaultPlan& plan);
    FaultPlan faults() const;
    settings::DeviceSettings settings() const;
    void setSettings(const settings::DeviceSettings& s);
    // Sets the given settings and keeps the others, as one step.
    void updateSettings(std::initializer_list<std::pair<settings::Setting, std::uint8_t>> values);
    VirtualDsp::HardwareVersion hardwareVersion() const;
    int resetCount() const;
    std::vector<std::vector<std::uint8_t>> framesWritten() const;
    void clearFramesWritten();
    std::size_t pendingBytes() const;
    // Frames written while an earlier status request was still waiting to be read: two
    // exchanges interleaved on the channel.
    int interleavedExchanges() const;

  private:
    struct PendingByte {
        std::uint8_t value;
        TimePoint arrival;
    };

    void handleFrameLocked(const std::vector<std::uint8_t>& frame);
    void queueReplyLocked(std::vector<std::uint8_t> reply, bool isStatusRequest, bool faultsApply);
    static bool consume(int& counter);

    const MicrophoneIdentity identity_;
    Clock& clock_;
    mutable std::mutex mutex_;
    VirtualDsp dsp_;
    FaultPlan faults_;
    bool plugged_ = true;
    bool uartUnderstood_ = false;
    std::vector<std::uint8_t> partialFrame_;
    std::deque<PendingByte> pending_;
    std::vector<std::vector<std::uint8_t>> framesWritten_;
    bool awaitingRead_ = false;
    int interleaved_ = 0;
    std::uint32_t garbageSeed_ = 0x2545F491u;
};

}  // namespace qm::sim
