#include "platform/registry/sqlite_connection.h"

#include <sqlite3.h>

#include <system_error>

namespace qm::registry::detail {

SqliteStatement::~SqliteStatement() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t number) {
    const int rc = sqlite3_bind_int64(statement_, index, number);
    if (bindError_ == SQLITE_OK) {
        bindError_ = rc;
    }
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text) {
    // A null pointer would bind NULL; an empty text must stay an empty text.
    const char* data = text.empty() ? "" : text.data();
    const int rc =
        sqlite3_bind_text64(statement_, index, data, text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (bindError_ == SQLITE_OK) {
        bindError_ = rc;
    }
    return *this;
}

SqliteStatement& SqliteStatement::bindBlob(int index, const std::vector<std::uint8_t>& bytes) {
    // Zero bytes are bound as an empty blob, never as NULL.
    const int rc = bytes.empty() ? sqlite3_bind_zeroblob(statement_, index, 0)
                                 : sqlite3_bind_blob64(statement_, index, bytes.data(),
                                                       bytes.size(), SQLITE_TRANSIENT);
    if (bindError_ == SQLITE_OK) {
        bindError_ = rc;
    }
    return *this;
}

int SqliteStatement::step() {
    if (bindError_ != SQLITE_OK) {
        return bindError_;
    }
    return sqlite3_step(statement_);
}

std::int64_t SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::text(int column) const {
    const auto* data = sqlite3_column_text(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    if (data == nullptr) {
        return {};
    }
    return {reinterpret_cast<const char*>(data), static_cast<std::size_t>(size)};
}

std::vector<std::uint8_t> SqliteStatement::blob(int column) const {
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
    const int size = sqlite3_column_bytes(statement_, column);
    if (data == nullptr || size <= 0) {
        return {};
    }
    return {data, data + size};
}

SqliteConnection::~SqliteConnection() {
    close();
}

int SqliteConnection::open(const std::filesystem::path& path, int flags) {
    close();
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_EXRESCODE, nullptr);
    if (rc != SQLITE_OK && db_ == nullptr) {
        return SQLITE_NOMEM;
    }
    return rc;
}

int SqliteConnection::close() {
    for (auto& [sql, statement] : statements_) {
        sqlite3_finalize(statement);
    }
    statements_.clear();
    int rc = SQLITE_OK;
    if (db_ != nullptr) {
        rc = sqlite3_close(db_);
        db_ = nullptr;
    }
    return rc;
}

int SqliteConnection::exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

int SqliteConnection::prepare(const char* sql, sqlite3_stmt*& statement) {
    if (auto found = statements_.find(sql); found != statements_.end()) {
        statement = found->second;
        return SQLITE_OK;
    }
    statement = nullptr;
    const int rc = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (rc != SQLITE_OK) {
        return rc;
    }
    statements_.emplace(sql, statement);
    return SQLITE_OK;
}

int SqliteConnection::queryText(const char* sql, std::string& result) {
    sqlite3_stmt* raw = nullptr;
    const int prepared = sqlite3_prepare_v2(db_, sql, -1, &raw, nullptr);
    if (prepared != SQLITE_OK) {
        sqlite3_finalize(raw);
        return prepared;
    }
    int rc = sqlite3_step(raw);
    if (rc == SQLITE_ROW) {
        const auto* text = sqlite3_column_text(raw, 0);
        result = text != nullptr ? reinterpret_cast<const char*>(text) : "";
        rc = SQLITE_OK;
    } else if (rc == SQLITE_DONE) {
        result.clear();
        rc = SQLITE_OK;
    }
    sqlite3_finalize(raw);
    return rc;
}

void SqliteConnection::setBusyTimeout(int milliseconds) {
    sqlite3_busy_timeout(db_, milliseconds);
}

bool SqliteConnection::readOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

int SqliteConnection::changes() const {
    return sqlite3_changes(db_);
}

std::int64_t SqliteConnection::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

std::string SqliteConnection::lastError() const {
    if (db_ == nullptr) {
        return "out of memory";
    }
    std::string message = sqlite3_errmsg(db_);
    const int systemError = sqlite3_system_errno(db_);
    if (systemError != 0) {
        message += " (";
        message += std::error_code(systemError, std::generic_category()).message();
        message += ")";
    }
    return message;
}

}  // namespace qm::registry::detail
