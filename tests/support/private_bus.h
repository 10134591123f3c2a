#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "support/child_process.h"

namespace qm::testing {

// A D-Bus daemon of the test's own (dbus-daemon --session --nofork as a child process), so that
// tests never touch the machine's buses. Started by the constructor, which waits up to
// `startTimeout` for the daemon to report its address (std::runtime_error otherwise); ended by
// the destructor.
class PrivateBus {
  public:
    explicit PrivateBus(std::chrono::milliseconds startTimeout = std::chrono::milliseconds(5000));
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;
    ~PrivateBus();

    // The address clients connect to, e.g. "unix:path=/tmp/dbus-XXXX,guid=...".
    const std::string& address() const { return address_; }

    // Kills the daemon at once: every connection on it breaks, as when the bus goes away.
    void kill();

  private:
    std::unique_ptr<ChildProcess> daemon_;
    std::string address_;
};

}  // namespace qm::testing
