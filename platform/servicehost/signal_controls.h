#pragma once

#include <signal.h>

#include <array>
#include <atomic>
#include <thread>

#include "platform/servicehost/service_host.h"

namespace qm::servicehost {

// Stop requests that arrive as signals (SIGTERM; SIGINT too for an application), handed to a
// control handler on a thread of their own.
//
// The signal handler only writes the signal's number as one byte to a pipe; the control thread
// waits on the pipe and calls the control handler. The pipe is made once per process and kept
// for its whole life, so a signal that lands while the handlers are being put back can never
// write to a closed or reused descriptor. Only one instance may run at a time, because signal
// dispositions belong to the whole process.
class SignalControls {
  public:
    SignalControls() = default;
    SignalControls(const SignalControls&) = delete;
    SignalControls& operator=(const SignalControls&) = delete;
    ~SignalControls();

    // Installs the signal handlers of `source` (keeping the previous ones), unblocks those
    // signals on the calling thread and starts the control thread. Every signal then reaches
    // `handler` as ServiceControl::Stop. False when another instance runs or the system refused.
    bool start(ControlSource source, ServiceHost::ControlHandler handler);
    // Puts the previous signal handlers back and ends the control thread; a handler call in
    // progress finishes first. Does nothing when not started.
    void stop();

    bool running() const { return thread_.joinable(); }

  private:
    struct Installed {
        int signal = 0;  // 0: slot unused
        struct sigaction previous {};
    };

    void controlThread(int readFd);
    void restoreHandlers();

    ServiceHost::ControlHandler handler_;
    std::thread thread_;
    std::atomic<bool> quit_{false};
    std::array<Installed, 2> installed_{};
};

}  // namespace qm::servicehost
