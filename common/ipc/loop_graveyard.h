#pragma once

#include <memory>
#include <mutex>
#include <vector>

namespace qm::ipc {

// Something that owns a connection's loop thread and must be destroyed off that thread.
class Reapable {
  public:
    virtual ~Reapable() = default;
};

// Where a connection goes when the last reference to it is dropped on its own loop thread (a
// client drops its proxies inside a notification, for example): the thread cannot join itself,
// so the connection waits here, its loop told to end, until some other thread reaps it.
// Reaping happens whenever a connection is opened or closed off a loop thread, and at exit.
class LoopGraveyard {
  public:
    static LoopGraveyard& instance();

    void adopt(std::unique_ptr<Reapable> remains);
    // Destroys everything adopted; does nothing on a loop thread.
    void reap();

    ~LoopGraveyard();

  private:
    LoopGraveyard() = default;

    std::mutex mutex_;
    std::vector<std::unique_ptr<Reapable>> remains_;
};

}  // namespace qm::ipc
