#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A thin owner of one SQLite connection and its prepared statements, so the rest of the registry
// never sees SQLite's headers. Not thread-safe: the hive file serialises all use.
namespace qm::registry::detail {

// A cached prepared statement in use; resets it (and clears its bindings) when it goes out of
// scope so the next user starts clean.
class SqliteStatement {
  public:
    explicit SqliteStatement(sqlite3_stmt* statement) : statement_(statement) {}
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement();

    SqliteStatement& bind(int index, std::int64_t number);
    SqliteStatement& bind(int index, std::string_view text);
    SqliteStatement& bindBlob(int index, const std::vector<std::uint8_t>& bytes);

    // SQLITE_ROW, SQLITE_DONE or an error code (also the first failed binding's).
    int step();

    std::int64_t integer(int column) const;
    std::string text(int column) const;
    std::vector<std::uint8_t> blob(int column) const;

  private:
    sqlite3_stmt* statement_;
    int bindError_ = 0;
};

class SqliteConnection {
  public:
    SqliteConnection() = default;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;
    ~SqliteConnection();

    // Opens with the given SQLITE_OPEN_* flags; returns the SQLite result code.
    int open(const std::filesystem::path& path, int flags);
    // Finalises the statements and closes; returns the SQLite result code.
    int close();

    int exec(const char* sql);
    // Prepares once per connection; `sql` must be a string with static storage (it is the key).
    int prepare(const char* sql, sqlite3_stmt*& statement);
    // Runs a statement that yields one text or number in its first row (for PRAGMA reads).
    int queryText(const char* sql, std::string& result);

    void setBusyTimeout(int milliseconds);
    bool readOnly() const;
    int changes() const;
    std::int64_t lastInsertId() const;
    // SQLite's message for the last failure, with the operating system's reason when there is one.
    std::string lastError() const;

  private:
    sqlite3* db_ = nullptr;
    std::unordered_map<const char*, sqlite3_stmt*> statements_;
};

}  // namespace qm::registry::detail
