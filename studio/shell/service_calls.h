#pragma once

#include <QObject>
#include <QPointer>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace qm::studio {

// Tells, on the GUI thread, whether a result is still wanted; for example that the microphone it
// was asked for is still the selected one (DeviceSelection::guard()). An empty guard always
// holds.
using ResultGuard = std::function<bool()>;

// The studio's one way to call the service. A call never runs on the GUI thread: it runs on a
// worker, and its result comes back to the GUI thread.
//
// Calls go into lanes, named by laneOf(serial) for a microphone and kManagerLane for the device
// manager. The calls of one lane run one at a time in the order they were posted, so a
// microphone's change, GetLastStatus and ResetStatus keep their order however many are queued;
// different lanes run side by side, so a microphone that is slow to answer holds up only its own
// lane.
//
// A result is handed to `done` on the GUI thread only while `receiver` (when given) still exists
// and `guard` holds; otherwise it is dropped. So a panel passes itself as the receiver and
// selection.guard() as the guard, and a result for a microphone that is no longer selected
// never reaches it.
//
//     calls.post(ServiceCalls::laneOf(serial), this,
//                [device] { return device->GetDeviceXML(...); },
//                [this](sdk::HRESULT hr) { ... }, selection.guard());
//
// Used on the GUI thread only (the work itself runs on the workers).
class ServiceCalls : public QObject {
    Q_OBJECT

  public:
    static constexpr int kDefaultWorkers = 3;
    static constexpr std::chrono::milliseconds kDefaultGrace{1000};
    static constexpr const char* kManagerLane = "";

    // The lane of a microphone's calls (serial numbers compare without ASCII case).
    static std::string laneOf(std::string_view serial);

    explicit ServiceCalls(int workers = kDefaultWorkers, QObject* parent = nullptr);
    ~ServiceCalls() override;
    ServiceCalls(const ServiceCalls&) = delete;
    ServiceCalls& operator=(const ServiceCalls&) = delete;

    // Runs `work()` on a worker after the calls posted to `lane` before it, then `done(result)`
    // on the GUI thread (see above). `work` returns the result (or nothing, and `done` takes
    // nothing).
    template <typename Work, typename Done>
    void post(std::string lane, QObject* receiver, Work work, Done done, ResultGuard guard = {}) {
        enqueue(std::move(lane), {},
                makeJob(receiver, std::move(work), std::move(done), std::move(guard)));
    }

    // As post, but a call of the same lane and `key` that waits, unstarted, at the end of the
    // lane is replaced by this one (its `done` never runs): the positions of a dragged slider
    // that pile up while the microphone answers come down to the newest.
    template <typename Work, typename Done>
    void postLatest(std::string lane, std::string key, QObject* receiver, Work work, Done done,
                    ResultGuard guard = {}) {
        enqueue(std::move(lane), std::move(key),
                makeJob(receiver, std::move(work), std::move(done), std::move(guard)));
    }

    // A call whose result nobody needs.
    void post(std::string lane, std::function<void()> work);

    // Takes no more calls, runs what is queued for at most `grace`, drops the rest and waits for
    // the running calls (each ends within the client's call time-out). Also done on destruction.
    void shutdown(std::chrono::milliseconds grace = kDefaultGrace);

    // Nothing queued, running, or waiting for the GUI thread.
    bool idle() const;
    // Waits (real time, at most `limit`) until nothing is queued or running; results may still
    // wait for the GUI thread. True when that happened.
    bool waitForWorkers(std::chrono::milliseconds limit);

  private:
    struct Job {
        std::string lane;
        std::string key;
        std::function<void()> run;
    };

    template <typename Work, typename Done>
    std::function<void()> makeJob(QObject* receiver, Work work, Done done, ResultGuard guard) {
        const bool hasReceiver = receiver != nullptr;
        return [this, receiver = QPointer<QObject>(receiver), hasReceiver, work = std::move(work),
                done = std::move(done), guard = std::move(guard)]() mutable {
            using Result = std::invoke_result_t<Work&>;
            auto wanted = [receiver, hasReceiver, guard]() {
                return (!hasReceiver || !receiver.isNull()) && (!guard || guard());
            };
            if constexpr (std::is_void_v<Result>) {
                work();
                deliver([wanted = std::move(wanted), done = std::move(done)]() mutable {
                    if (wanted()) {
                        done();
                    }
                });
            } else {
                deliver([wanted = std::move(wanted), done = std::move(done),
                         result = std::make_shared<Result>(work())]() mutable {
                    if (wanted()) {
                        done(std::move(*result));
                    }
                });
            }
        };
    }

    void enqueue(std::string lane, std::string key, std::function<void()> run);
    // Hands `handOver` to the GUI thread; called on a worker.
    void deliver(std::function<void()> handOver);
    void work();
    // The first queued job whose lane is free; end() when there is none.
    std::deque<Job>::iterator nextRunnable();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable settled_;
    std::deque<Job> queue_;
    std::set<std::string> busyLanes_;
    int running_ = 0;
    // Posted and not yet handed to `done` or dropped.
    int outstanding_ = 0;
    bool accepting_ = true;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace qm::studio
