#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/runtime/clock.h"
#include "platform/hiduart/hid_transport.h"
#include "platform/hiduart/traffic_recording.h"

namespace qm::sim {

// The bridges of a recording (platform/hiduart/traffic_recording.h) as virtual HID devices, so
// that traffic recorded from a real microphone replays through the bridge driver and the service.
//
// Every device of the recording is present from the start, under its recorded path. When the
// host writes an output report, the device looks for the same report in its recording, from
// where the last one was found onwards (and then from the start), and answers with the input
// reports that followed it there, each after the same delay; a device recorded as gone goes at
// that moment. Feature reports asked for are answered as recorded; those set are taken. A report
// the recording does not have gets no answer, as from a microphone that did not understand it.
class ReplayHidTransport final : public hiduart::HidTransport {
  public:
    ReplayHidTransport(const hiduart::Recording& recording, Clock& clock);

    std::vector<hiduart::HidDeviceInfo> enumerate() override;
    std::unique_ptr<hiduart::HidDevice> open(const std::string& path) override;

    // What one recorded bridge does, shared by every open of its path.
    struct Script;

  private:
    Clock& clock_;
    std::vector<hiduart::HidDeviceInfo> devices_;
    std::map<std::string, std::shared_ptr<Script>> scripts_;  // by path
};

}  // namespace qm::sim
