#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "studio/audio/audio_system.h"

// An audio system in memory for tests: endpoints set by hand, capture streams fed packet by
// packet, render streams that record what they are given, meters and a session volume that the
// test moves. Waits are bounded in real time only as a safety net.
namespace qm::audio::testing {

inline constexpr std::chrono::seconds kFakeWait{20};

class FakeCaptureStream final : public CaptureStream {
  public:
    // `closed` runs when the reader lets go of the stream.
    FakeCaptureStream(std::function<void()> wake, std::function<void(FakeCaptureStream*)> closed)
        : wake_(std::move(wake)), closed_(std::move(closed)) {}
    ~FakeCaptureStream() override { closed_(this); }
    FakeCaptureStream(const FakeCaptureStream&) = delete;
    FakeCaptureStream& operator=(const FakeCaptureStream&) = delete;

    Read readPacket(std::vector<float>& frames) override {
        std::lock_guard guard(mutex_);
        // The reader asks again only once it has handled the packet it was given.
        if (handedOut_) {
            handedOut_ = false;
            ++handled_;
            cv_.notify_all();
        }
        if (packets_.empty()) {
            if (failed_) {
                return Read::Failed;
            }
            return Read::Empty;
        }
        frames = std::move(packets_.front());
        packets_.pop_front();
        handedOut_ = true;
        return Read::Packet;
    }
    void SetMasterVolume(float level) override {
        std::lock_guard guard(mutex_);
        volumes_.push_back(level);
        cv_.notify_all();
    }

    // Test side.
    void push(std::vector<float> frames) {
        {
            std::lock_guard guard(mutex_);
            packets_.push_back(std::move(frames));
        }
        wake_();
    }
    void fail() {
        {
            std::lock_guard guard(mutex_);
            failed_ = true;
        }
        wake_();
    }
    // Waits until the reader has handled `count` packets.
    bool waitHandled(int count) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, kFakeWait, [&] { return handled_ >= count; });
    }
    bool waitVolumes(std::size_t count) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, kFakeWait, [&] { return volumes_.size() >= count; });
    }
    std::vector<float> volumes() const {
        std::lock_guard guard(mutex_);
        return volumes_;
    }

  private:
    std::function<void()> wake_;
    std::function<void(FakeCaptureStream*)> closed_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::vector<float>> packets_;
    std::vector<float> volumes_;
    bool failed_ = false;
    bool handedOut_ = false;
    int handled_ = 0;
};

class FakeRenderStream final : public RenderStream {
  public:
    struct Write {
        std::vector<float> frames;
        bool silent;
    };

    std::optional<std::size_t> freeFrames() override {
        std::lock_guard guard(mutex_);
        return free_;
    }
    bool write(std::span<const float> frames, bool silent) override {
        std::lock_guard guard(mutex_);
        writes_.push_back({{frames.begin(), frames.end()}, silent});
        cv_.notify_all();
        return true;
    }

    void setFreeFrames(std::optional<std::size_t> free) {
        std::lock_guard guard(mutex_);
        free_ = free;
    }
    bool waitWrites(std::size_t count) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, kFakeWait, [&] { return writes_.size() >= count; });
    }
    std::vector<Write> writes() const {
        std::lock_guard guard(mutex_);
        return writes_;
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::optional<std::size_t> free_ = 480;
    std::vector<Write> writes_;
};

class FakePeakMeter final : public PeakMeter {
  public:
    float GetPeakValue() const override { return peak.load(); }
    std::atomic<float> peak{0.0F};
};

class FakeSessionVolume final : public SessionVolume {
  public:
    // Like a sound server, reports every change, the program's own with its context.
    void SetMasterVolume(float level, const sdk::Guid& context) override {
        level_ = level;
        report(level, context);
    }
    float GetMasterVolume() const override { return level_; }
    void setListener(Listener listener) override {
        std::lock_guard guard(mutex_);
        listener_ = std::move(listener);
    }
    void changeFromOutside(float level) {
        level_ = level;
        report(level, sdk::Guid{});
    }

  private:
    void report(float level, const sdk::Guid& context) {
        std::lock_guard guard(mutex_);
        if (listener_) {
            listener_(level, false, context);
        }
    }

    std::mutex mutex_;
    Listener listener_;
    std::atomic<float> level_{1.0F};
};

class FakeAudioSystem final : public AudioSystem {
  public:
    std::vector<CaptureEndpoint> captureEndpoints() override {
        std::lock_guard guard(mutex_);
        return captures;
    }
    std::vector<RenderEndpoint> renderEndpoints() override {
        std::lock_guard guard(mutex_);
        return renders;
    }
    std::optional<RenderEndpoint> defaultRenderEndpoint() override {
        std::lock_guard guard(mutex_);
        if (renders.empty()) {
            return std::nullopt;
        }
        return renders.front();
    }
    void setEndpointsChanged(std::function<void()>) override {}

    std::unique_ptr<CaptureStream> openCapture(const std::string& endpointId,
                                               std::function<void()> wake) override {
        std::lock_guard guard(mutex_);
        // The stream is marked closed here when the capture thread lets go of it.
        auto stream = std::make_unique<FakeCaptureStream>(std::move(wake), [this](auto* closed) {
            std::lock_guard closing(mutex_);
            for (auto& entry : captureStreams_) {
                if (entry.second == closed) {
                    entry.second = nullptr;
                }
            }
            cv_.notify_all();
        });
        captureStreams_.push_back({endpointId, stream.get()});
        cv_.notify_all();
        return stream;
    }
    std::unique_ptr<RenderStream> openRender(const std::string& endpointId) override {
        std::lock_guard guard(mutex_);
        auto stream = std::make_shared<FakeRenderStream>();
        renderStreams.push_back({endpointId, stream});
        return std::make_unique<SharedRender>(stream);
    }
    std::shared_ptr<PeakMeter> captureMeter(const std::string& endpointId) override {
        std::lock_guard guard(mutex_);
        if (!meterWorks) {
            return nullptr;
        }
        return meters_[endpointId] = std::make_shared<FakePeakMeter>();
    }
    std::shared_ptr<PeakMeter> renderMeter(const std::string& endpointId) override {
        return captureMeter("out:" + endpointId);
    }
    SessionVolume& renderSessionVolume() override { return session; }

    // Test side: the n-th capture stream opened on an endpoint (waits for it to open); null when
    // it does not open in time or has closed.
    FakeCaptureStream* waitCaptureStream(const std::string& endpointId, std::size_t nth = 0) {
        std::unique_lock lock(mutex_);
        FakeCaptureStream* found = nullptr;
        cv_.wait_for(lock, kFakeWait, [&] {
            std::size_t seen = 0;
            for (const auto& [id, stream] : captureStreams_) {
                if (id == endpointId && seen++ == nth) {
                    found = stream;  // null when it has closed again
                    return true;
                }
            }
            return false;
        });
        return found;
    }
    int openCaptureCount() const {
        std::lock_guard guard(mutex_);
        return static_cast<int>(captureStreams_.size());
    }
    bool waitAllCapturesClosed() {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, kFakeWait, [&] {
            return std::all_of(captureStreams_.begin(), captureStreams_.end(),
                               [](const auto& entry) { return entry.second == nullptr; });
        });
    }
    std::shared_ptr<FakePeakMeter> meter(const std::string& endpointId) {
        std::lock_guard guard(mutex_);
        return meters_[endpointId];
    }

    std::vector<CaptureEndpoint> captures;
    std::vector<RenderEndpoint> renders;
    std::vector<std::pair<std::string, std::shared_ptr<FakeRenderStream>>> renderStreams;
    FakeSessionVolume session;
    bool meterWorks = true;

  private:
    class SharedRender final : public RenderStream {
      public:
        explicit SharedRender(std::shared_ptr<FakeRenderStream> stream)
            : stream_(std::move(stream)) {}
        std::optional<std::size_t> freeFrames() override { return stream_->freeFrames(); }
        bool write(std::span<const float> frames, bool silent) override {
            return stream_->write(frames, silent);
        }

      private:
        std::shared_ptr<FakeRenderStream> stream_;
    };

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::pair<std::string, FakeCaptureStream*>> captureStreams_;
    std::map<std::string, std::shared_ptr<FakePeakMeter>> meters_;
};

}  // namespace qm::audio::testing
