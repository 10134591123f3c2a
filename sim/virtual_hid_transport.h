#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "common/runtime/clock.h"
#include "platform/hiduart/hid_transport.h"
#include "sim/virtual_microphone.h"

namespace qm::sim {

// Virtual microphones as the bridge driver finds real ones: CP2114 HID devices that give their
// version report, take the UART enable and configuration feature reports, and carry UART bytes
// in data reports both ways. The driver over this transport exchanges with a virtual microphone
// exactly as with a real one, report by report. Time is the given clock's: a read waits on it
// for the next byte's arrival or for its time-out.
class VirtualHidTransport final : public hiduart::HidTransport {
  public:
    explicit VirtualHidTransport(Clock& clock) : clock_(clock) {}

    // The microphone's bridge appears at "/dev/virtual-hidraw/<n>" until it is unplugged.
    void plug(std::shared_ptr<VirtualMicrophone> microphone);

    std::vector<hiduart::HidDeviceInfo> enumerate() override;
    std::unique_ptr<hiduart::HidDevice> open(const std::string& path) override;

  private:
    Clock& clock_;
    std::mutex mutex_;
    std::vector<std::pair<std::string, std::shared_ptr<VirtualMicrophone>>> plugged_;
};

}  // namespace qm::sim
