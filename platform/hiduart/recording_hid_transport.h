#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/hiduart/hid_transport.h"
#include "platform/hiduart/traffic_recording.h"

namespace qm::hiduart {

// A HID transport that passes everything to another one and records the traffic of the devices
// it opens: feature reports set and given, output reports accepted, input reports received, and
// devices found gone. The bridge driver over it records every frame it exchanges.
class RecordingHidTransport final : public HidTransport {
  public:
    RecordingHidTransport(std::shared_ptr<HidTransport> inner,
                          std::shared_ptr<RecordingWriter> writer);

    std::vector<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;

  private:
    const std::shared_ptr<HidTransport> inner_;
    const std::shared_ptr<RecordingWriter> writer_;
    std::mutex mutex_;
    std::vector<HidDeviceInfo> seen_;  // the last enumeration, to describe what is opened
};

}  // namespace qm::hiduart
