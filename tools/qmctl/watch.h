#pragma once

#include <chrono>
#include <memory>
#include <ostream>
#include <string>

#include "common/runtime/clock.h"
#include "common/runtime/message_queue.h"
#include "common/sdk/interfaces.h"

// `qmctl watch`: the service's notifications as they arrive.
//
// The sink's OnDeviceNotify runs on the client binding's thread, so it only posts the
// notification to a queue; the main thread takes them from the queue and prints them. Stop
// requests (SIGINT, SIGTERM) arrive through the same queue, posted by whoever catches them.
namespace qm::qmctl {

struct WatchEvent {
    enum class Kind { Notification, Stop };
    Kind kind = Kind::Notification;
    std::string serial;
    int state = 0;
    int signal = 0;  // for Stop: the signal that asked for it (0: none)

    static WatchEvent notification(std::string serial, int state) {
        return {Kind::Notification, std::move(serial), state, 0};
    }
    static WatchEvent stop(int signal) { return {Kind::Stop, {}, 0, signal}; }
};

using WatchQueue = MessageQueue<WatchEvent>;

// The sink qmctl advises: every notification becomes a WatchEvent on the queue.
class QueueingSink final : public sdk::IDeviceNotify {
  public:
    explicit QueueingSink(WatchQueue& queue) : queue_(queue) {}
    sdk::HRESULT OnDeviceNotify(const std::string& bstrSN, int nState) override;

  private:
    WatchQueue& queue_;
};

struct WatchOptions {
    bool json = false;
    // How often the main thread checks, while nothing arrives, that the service is still on
    // the bus (a service that crashed sends no release notification).
    Duration livenessInterval = std::chrono::seconds(5);
};

// Advises a QueueingSink, tells `err` that it watches, prints every notification to `out` (a
// line each, flushed) until a Stop event, the release state -1 (printed too) or the service
// leaving the bus, then unadvises. Returns the exit code.
int runWatch(sdk::IQuillmereSDK& manager, WatchQueue& queue, Clock& clock,
             const WatchOptions& options, std::ostream& out, std::ostream& err);

}  // namespace qm::qmctl
