#pragma once

#include <cstdint>
#include <fstream>
#include <istream>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/runtime/clock.h"
#include "platform/hiduart/hid_transport.h"

// Recordings of the HID traffic between the bridge driver and its bridges: every report written
// and read, with its time, in a text file that people can read and edit. A recording of a real
// microphone replays as a virtual one (sim/replay_hid_transport.h). The format is described in
// docs/bridge-recording.md.
namespace qm::hiduart {

struct RecordedEvent {
    enum class Kind {
        Open,        // the host opened the device
        Close,       // the host closed it
        GetFeature,  // a feature report the device gave (id first)
        SetFeature,  // a feature report the host set (id first)
        Out,         // an output (data) report the device accepted (id first)
        In,          // an input report the device gave (id first)
        Gone,        // a transfer found the device gone
    };

    Duration at{};   // since the start of the recording
    int device = 0;  // which opened device: 1 for the first open, 2 for the next ...
    Kind kind = Kind::Open;
    std::vector<std::uint8_t> bytes;  // the report, trailing zero bytes left out

    friend bool operator==(const RecordedEvent&, const RecordedEvent&) = default;
};

struct RecordedDevice {
    int number = 0;
    HidDeviceInfo info;
};

struct Recording {
    std::vector<RecordedDevice> devices;
    std::vector<RecordedEvent> events;  // in time order
};

// Writes a recording, one line per event as it happens; each line reaches the file at once, so
// a recording survives the end of the process at any point. Safe to use from several threads.
class RecordingWriter {
  public:
    // Starts a recording in `path` (replacing what is there); check good() afterwards.
    RecordingWriter(const std::string& path, Clock& clock);
    bool good() const;

    // Numbers a newly opened device and writes its description; returns its number.
    int opened(const HidDeviceInfo& info);
    void record(int device, RecordedEvent::Kind kind, std::span<const std::uint8_t> bytes = {});

  private:
    void writeLine(const std::string& line);

    Clock& clock_;
    const TimePoint start_;
    mutable std::mutex mutex_;
    std::ofstream file_;
    int opened_ = 0;
};

// Reads a recording; on failure `error` says which line is wrong and why.
std::optional<Recording> readRecording(std::istream& in, std::string& error);
std::optional<Recording> readRecordingFile(const std::string& path, std::string& error);

}  // namespace qm::hiduart
