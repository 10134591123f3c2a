#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "common/ipc/call_pool.h"

namespace qm::ipc {

// Runs the service's method calls on the call pool and keeps track of the clients they came
// from. A client's calls and its departure from the bus reach the event loop in order, but the
// calls finish later on the pool; a call that finishes after its client left must not leave
// state behind for that client (it asks hasLeft()).
class ClientCalls {
  public:
    explicit ClientCalls(CallPool& pool) : pool_(pool) {}

    // Runs `job` on the pool as a call of `client`; false when the pool no longer takes jobs.
    bool run(const std::string& client, std::function<void()> job);
    // Called on the event loop when `client` left the bus; true when it ever made a call here.
    bool clientLeft(const std::string& client);
    // True while a call of a client that has left is still running.
    bool hasLeft(const std::string& client) const;

  private:
    struct Client {
        int running = 0;
        bool left = false;
    };

    void finished(const std::string& client);

    CallPool& pool_;
    mutable std::mutex mutex_;
    std::map<std::string, Client, std::less<>> clients_;
};

}  // namespace qm::ipc
