#pragma once

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "service/log/log_storage.h"
#include "support/temp_folder.h"

namespace qm::testing {

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return {};
    }
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The real file system, with a count of the appends that completed (so a test can wait until
// the writer has written a batch) and a way to hold one append in the middle, like a write
// that hangs in the system.
class ObservedStorage final : public LogStorage {
  public:
    bool ensureDirectory(const std::string& folder) override {
        return FileLogStorage::instance().ensureDirectory(folder);
    }

    std::unique_ptr<LogFile> openForAppend(const std::string& path) override {
        std::unique_ptr<LogFile> file = FileLogStorage::instance().openForAppend(path);
        if (!file) {
            return nullptr;
        }
        return std::make_unique<File>(*this, std::move(file));
    }

    std::size_t appendCount() const {
        std::lock_guard guard(mutex_);
        return appends_;
    }

    // Waits until `count` appends have completed. The real-time bound only keeps a broken
    // writer from hanging the test; a correct one gets there without any waiting on time.
    bool awaitAppends(std::size_t count) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, kSafetyBound, [&] { return appends_ >= count; });
    }

    // The next append to begin stops before writing until releaseHeldAppend().
    void holdNextAppend() {
        std::lock_guard guard(mutex_);
        holdNext_ = true;
    }
    bool awaitHeldAppend() {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, kSafetyBound, [&] { return holding_; });
    }
    void releaseHeldAppend() {
        std::lock_guard guard(mutex_);
        holding_ = false;
        cv_.notify_all();
    }

  private:
    static constexpr auto kSafetyBound = std::chrono::seconds(20);

    class File final : public LogFile {
      public:
        File(ObservedStorage& owner, std::unique_ptr<LogFile> inner)
            : owner_(owner), inner_(std::move(inner)) {}
        std::uint64_t initialSize() const override { return inner_->initialSize(); }
        bool append(std::string_view bytes) override {
            owner_.beforeAppend();
            const bool ok = inner_->append(bytes);
            owner_.afterAppend();
            return ok;
        }

      private:
        ObservedStorage& owner_;
        std::unique_ptr<LogFile> inner_;
    };

    void beforeAppend() {
        std::unique_lock lock(mutex_);
        if (!holdNext_) {
            return;
        }
        holdNext_ = false;
        holding_ = true;
        cv_.notify_all();
        cv_.wait(lock, [&] { return !holding_; });
    }
    void afterAppend() {
        std::lock_guard guard(mutex_);
        ++appends_;
        cv_.notify_all();
    }

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::size_t appends_ = 0;
    bool holdNext_ = false;
    bool holding_ = false;
};

// `count` copies of a UTF-8 character.
inline std::string repeat(const std::string& character, std::size_t count) {
    std::string out;
    out.reserve(character.size() * count);
    for (std::size_t i = 0; i < count; ++i) {
        out += character;
    }
    return out;
}

}  // namespace qm::testing
