#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "service/log/log_storage.h"

namespace qm::testing {

// Log files kept in memory: every folder exists, every file opens, and the text of each file
// can be read back as lines (without the byte order mark and the CR LF endings).
class MemoryLogStorage final : public LogStorage {
  public:
    bool ensureDirectory(const std::string&) override { return true; }

    std::unique_ptr<LogFile> openForAppend(const std::string& path) override {
        std::lock_guard guard(mutex_);
        return std::make_unique<File>(*this, path, files_[path].size());
    }

    std::string contents(const std::string& path) const {
        std::lock_guard guard(mutex_);
        const auto it = files_.find(path);
        return it == files_.end() ? std::string{} : it->second;
    }

    std::vector<std::string> paths() const {
        std::lock_guard guard(mutex_);
        std::vector<std::string> out;
        for (const auto& [path, text] : files_)
            out.push_back(path);
        return out;
    }

    // The event lines of every file whose path contains `nameFragment`, with the time stamp
    // ("hh:mm:ss:mmm --> ") cut off: "<Info> text".
    std::vector<std::string> lines(const std::string& nameFragment) const {
        std::lock_guard guard(mutex_);
        std::vector<std::string> out;
        for (const auto& [path, text] : files_) {
            if (path.find(nameFragment) == std::string::npos)
                continue;
            std::istringstream in(text);
            std::string line;
            while (std::getline(in, line)) {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                const auto arrow = line.find(" --> ");
                if (arrow == 12)
                    out.push_back(line.substr(arrow + 5));
            }
        }
        return out;
    }

  private:
    class File final : public LogFile {
      public:
        File(MemoryLogStorage& owner, std::string path, std::uint64_t size)
            : owner_(owner), path_(std::move(path)), size_(size) {}
        std::uint64_t initialSize() const override { return size_; }
        bool append(std::string_view bytes) override {
            std::lock_guard guard(owner_.mutex_);
            owner_.files_[path_].append(bytes);
            return true;
        }

      private:
        MemoryLogStorage& owner_;
        std::string path_;
        std::uint64_t size_;
    };

    mutable std::mutex mutex_;
    std::map<std::string, std::string> files_;
};

}  // namespace qm::testing
