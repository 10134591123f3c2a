#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/diagnostics.h"
#include "platform/registry/sqlite_connection.h"
#include "platform/registry/value.h"

// One hive in one SQLite file: a tree of keys addressed by number, each with its values.
//
// The file is in WAL mode with synchronous=FULL: every change is one IMMEDIATE transaction,
// durable when the call returns, and several processes may read and write the file at once
// (a writer waits up to kBusyTimeoutMs for another). Within a process one connection serves all
// threads, one call at a time.
//
// A new hive file is built under a temporary name and linked into place only if no file exists
// there, so a reader never sees a half-made hive. An existing file that is not a sound hive of
// this format is reported to the diagnostics and never written to, replaced or deleted.
namespace qm::registry::detail {

class HiveFile {
  public:
    static constexpr std::int64_t kRootId = 1;
    static constexpr int kBusyTimeoutMs = 5000;

    // Opens the hive at `path`. A missing file is created when `create` is true, otherwise the
    // result is ERROR_FILE_NOT_FOUND (and nothing is reported).
    [[nodiscard]] static long open(const std::filesystem::path& path, bool create,
                                   std::shared_ptr<Diagnostics> diagnostics,
                                   std::shared_ptr<HiveFile>& out);

    HiveFile(std::filesystem::path path, std::shared_ptr<Diagnostics> diagnostics);
    HiveFile(const HiveFile&) = delete;
    HiveFile& operator=(const HiveFile&) = delete;
    ~HiveFile();

    const std::filesystem::path& path() const { return path_; }
    // False when the file could only be opened for reading (no write permission).
    bool writable() const { return writable_; }

    // Walks `parts` from key `from`, creating missing keys when `create`.
    [[nodiscard]] long resolve(std::int64_t from, const std::vector<std::string>& parts,
                               bool create, std::int64_t& id);
    [[nodiscard]] long queryValue(std::int64_t key, std::string_view name, Value& out);
    [[nodiscard]] long setValue(std::int64_t key, std::string_view name, const Value& value);
    [[nodiscard]] long deleteValue(std::int64_t key, std::string_view name);
    // Deletes the subkey `parts` of `key` with everything under it; with no parts, deletes the
    // values and subkeys of `key` itself and keeps the key.
    [[nodiscard]] long deleteTree(std::int64_t key, const std::vector<std::string>& parts);
    [[nodiscard]] long enumSubkeys(std::int64_t key, std::vector<std::string>& names);
    [[nodiscard]] long enumValues(std::int64_t key, std::vector<std::string>& names);

  private:
    [[nodiscard]] long connect();
    [[nodiscard]] long checkFormat();
    [[nodiscard]] long checkFailed(int rc);
    // Walks existing keys only, in one read transaction.
    [[nodiscard]] long walkExisting(std::int64_t from, const std::vector<std::string>& parts,
                                    std::int64_t& id);
    [[nodiscard]] long childId(std::int64_t parent, const std::string& name, std::int64_t& id);
    [[nodiscard]] long existsLocked(std::int64_t key);
    [[nodiscard]] long insertKey(std::int64_t parent, const std::string& name, std::int64_t& id);
    [[nodiscard]] long deleteSubtree(std::int64_t key, bool keepKey);
    [[nodiscard]] long runStatement(const char* sql, std::int64_t key);
    [[nodiscard]] long inWriteTransaction(const char* doing, const std::function<long()>& body);
    // Maps a SQLite failure to a status and reports it.
    [[nodiscard]] long failure(int rc, const char* doing);
    [[nodiscard]] long listNames(std::int64_t key, const char* query, const char* what,
                                 std::vector<std::string>& names);
    void report(const std::string& what) const;
    // For an existing file that can't be used: says that it stays untouched.
    void reportUnusable(const std::string& what) const;

    const std::filesystem::path path_;
    const std::shared_ptr<Diagnostics> diagnostics_;
    std::mutex mutex_;
    SqliteConnection connection_;
    bool writable_ = false;
};

// The status for a SQLite result code.
[[nodiscard]] long statusFromSqlite(int rc);

}  // namespace qm::registry::detail
