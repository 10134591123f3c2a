#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qm {

// One open log file. Every write appends at the end of the file.
class LogFile {
  public:
    virtual ~LogFile() = default;

    // Size of the file when it was opened, in bytes.
    virtual std::uint64_t initialSize() const = 0;
    // Appends all the bytes; false when the system refused them.
    virtual bool append(std::string_view bytes) = 0;
};

// Where log files live: the folders and files the writer uses. The file system in production;
// tests wrap it to watch or hold the writes.
class LogStorage {
  public:
    virtual ~LogStorage() = default;

    // True when `folder` is a directory, creating it and any missing parents first.
    virtual bool ensureDirectory(const std::string& folder) = 0;
    // Opens the file for appending, creating it when missing; nothing when it can't be opened.
    virtual std::unique_ptr<LogFile> openForAppend(const std::string& path) = 0;
};

class FileLogStorage final : public LogStorage {
  public:
    bool ensureDirectory(const std::string& folder) override;
    std::unique_ptr<LogFile> openForAppend(const std::string& path) override;

    // The process-wide instance.
    static FileLogStorage& instance();
};

}  // namespace qm
