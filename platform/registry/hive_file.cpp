#include "platform/registry/hive_file.h"

#include <sqlite3.h>

#include <system_error>

#include "platform/registry/hive_schema.h"
#include "platform/registry/key_path.h"
#include "platform/registry/status.h"

namespace qm::registry::detail {
namespace {

constexpr const char* kSelectChild = "SELECT id FROM keys WHERE parent_id=?1 AND name_fold=?2";
constexpr const char* kInsertKey = "INSERT INTO keys(parent_id, name, name_fold) VALUES(?1,?2,?3)";
constexpr const char* kKeyExists = "SELECT 1 FROM keys WHERE id=?1";
constexpr const char* kSelectValue =
    "SELECT type, data FROM key_values WHERE key_id=?1 AND name_fold=?2";
constexpr const char* kUpsertValue =
    "INSERT INTO key_values(key_id, name, name_fold, type, data) VALUES(?1,?2,?3,?4,?5) "
    "ON CONFLICT(key_id, name_fold) DO UPDATE SET type=excluded.type, data=excluded.data";
constexpr const char* kDeleteValue = "DELETE FROM key_values WHERE key_id=?1 AND name_fold=?2";
constexpr const char* kDeleteOwnValues = "DELETE FROM key_values WHERE key_id=?1";
constexpr const char* kDeleteDescendantValues =
    "WITH RECURSIVE sub(id) AS (SELECT id FROM keys WHERE parent_id=?1 "
    "UNION ALL SELECT k.id FROM keys k JOIN sub ON k.parent_id=sub.id) "
    "DELETE FROM key_values WHERE key_id IN sub";
constexpr const char* kDeleteDescendantKeys =
    "WITH RECURSIVE sub(id) AS (SELECT id FROM keys WHERE parent_id=?1 "
    "UNION ALL SELECT k.id FROM keys k JOIN sub ON k.parent_id=sub.id) "
    "DELETE FROM keys WHERE id IN sub";
constexpr const char* kDeleteKey = "DELETE FROM keys WHERE id=?1";
constexpr const char* kSelectSubkeys =
    "SELECT name FROM keys WHERE parent_id=?1 ORDER BY name_fold, name";
constexpr const char* kSelectValueNames =
    "SELECT name FROM key_values WHERE key_id=?1 ORDER BY rowid";

constexpr const char* kBegin = "BEGIN";
constexpr const char* kCommit = "COMMIT";

// Runs the reads of one call in one read transaction: they see one state of the file, and the
// file's read lock is taken once instead of once per statement.
class ReadSnapshot {
  public:
    explicit ReadSnapshot(SqliteConnection& connection) : connection_(connection) {
        active_ = run(kBegin);
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;
    ~ReadSnapshot() {
        if (active_) {
            run(kCommit);
        }
    }

  private:
    bool run(const char* sql) {
        sqlite3_stmt* raw = nullptr;
        if (connection_.prepare(sql, raw) != SQLITE_OK) {
            return false;
        }
        SqliteStatement statement(raw);
        return statement.step() == SQLITE_DONE;
    }

    SqliteConnection& connection_;
    bool active_ = false;
};

}  // namespace

long statusFromSqlite(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return ERROR_SUCCESS;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ERROR_BUSY;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
        case SQLITE_CANTOPEN:
            return ERROR_ACCESS_DENIED;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_FORMAT:
        case SQLITE_SCHEMA:
        case SQLITE_ERROR:  // e.g. a table missing from a file that claims to be a hive
            return ERROR_BADDB;
        case SQLITE_NOMEM:
            return ERROR_OUTOFMEMORY;
        case SQLITE_TOOBIG:
            return ERROR_INVALID_PARAMETER;
        default:
            return ERROR_REGISTRY_IO_FAILED;
    }
}

long HiveFile::open(const std::filesystem::path& path, bool create,
                    std::shared_ptr<Diagnostics> diagnostics, std::shared_ptr<HiveFile>& out) {
    out.reset();
    auto hive = std::make_shared<HiveFile>(path, std::move(diagnostics));
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error && error != std::errc::no_such_file_or_directory) {
        hive->reportUnusable("cannot reach the file: " + error.message());
        return ERROR_ACCESS_DENIED;
    }
    if (!std::filesystem::exists(status)) {
        if (!create) {
            return ERROR_FILE_NOT_FOUND;
        }
        std::string problem;
        if (const long created = createHiveFile(path, problem); created != ERROR_SUCCESS) {
            hive->report(problem);
            return created;
        }
    } else if (!std::filesystem::is_regular_file(status)) {
        hive->reportUnusable("not a regular file");
        return ERROR_BADDB;
    }
    if (const long connected = hive->connect(); connected != ERROR_SUCCESS) {
        return connected;
    }
    out = std::move(hive);
    return ERROR_SUCCESS;
}

HiveFile::HiveFile(std::filesystem::path path, std::shared_ptr<Diagnostics> diagnostics)
    : path_(std::move(path)), diagnostics_(std::move(diagnostics)) {}

HiveFile::~HiveFile() = default;

void HiveFile::report(const std::string& what) const {
    diagnostics_->report("registry: hive file " + path_.string() + ": " + what);
}

void HiveFile::reportUnusable(const std::string& what) const {
    report(what + "; the file is left as it is");
}

long HiveFile::failure(int rc, const char* doing) {
    report(std::string(doing) + " failed: " + connection_.lastError());
    return statusFromSqlite(rc);
}

long HiveFile::connect() {
    // Never SQLITE_OPEN_CREATE here: an existing file is used as it is or not at all.
    const int rc = connection_.open(path_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    if (rc != SQLITE_OK) {
        reportUnusable("cannot open: " + connection_.lastError());
        return statusFromSqlite(rc);
    }
    connection_.setBusyTimeout(kBusyTimeoutMs);
    if (const long format = checkFormat(); format != ERROR_SUCCESS) {
        connection_.close();
        return format;
    }
    if (const int sync = connection_.exec("PRAGMA synchronous=FULL"); sync != SQLITE_OK) {
        return failure(sync, "setting up the connection");
    }
    writable_ = !connection_.readOnly();
    return ERROR_SUCCESS;
}

// A check of the file could not run: a lock held too long, no permission or a read error is
// said as such; anything else means the file is not a sound database.
long HiveFile::checkFailed(int rc) {
    const long status = statusFromSqlite(rc);
    switch (status) {
        case ERROR_BUSY:
            report("cannot check the file: " + connection_.lastError());
            return status;
        case ERROR_ACCESS_DENIED:
            if ((rc & 0xFF) == SQLITE_READONLY) {
                // A WAL file is read through a shared-memory file next to it, which a reader
                // must be able to create when no other program has the hive open.
                reportUnusable("cannot read without write access to its folder: " +
                               connection_.lastError());
                return status;
            }
            [[fallthrough]];
        case ERROR_REGISTRY_IO_FAILED:
        case ERROR_OUTOFMEMORY:
            reportUnusable("cannot read: " + connection_.lastError());
            return status;
        default:
            reportUnusable("damaged or not a database: " + connection_.lastError());
            return ERROR_BADDB;
    }
}

// Only reads: a file that fails any check is reported and left alone.
long HiveFile::checkFormat() {
    std::string applicationId;
    std::string version;
    std::string check;
    std::string mode;
    if (const int rc = connection_.queryText("PRAGMA application_id", applicationId);
        rc != SQLITE_OK) {
        return checkFailed(rc);
    }
    if (applicationId != std::to_string(kHiveApplicationId)) {
        reportUnusable("not a registry hive (application id " + applicationId + ")");
        return ERROR_BADDB;
    }
    if (const int rc = connection_.queryText("PRAGMA user_version", version); rc != SQLITE_OK) {
        return checkFailed(rc);
    }
    if (version != std::to_string(kHiveFormatVersion)) {
        reportUnusable("unknown hive format version " + version);
        return ERROR_BADDB;
    }
    if (const int rc = connection_.queryText("PRAGMA quick_check", check); rc != SQLITE_OK) {
        return checkFailed(rc);
    }
    if (check != "ok") {
        reportUnusable("damaged: " + check);
        return ERROR_BADDB;
    }
    if (const int rc = connection_.queryText("PRAGMA journal_mode", mode); rc != SQLITE_OK) {
        return checkFailed(rc);
    }
    if (mode != "wal") {
        reportUnusable("not in WAL mode (" + mode + ")");
        return ERROR_BADDB;
    }
    return ERROR_SUCCESS;
}

long HiveFile::inWriteTransaction(const char* doing, const std::function<long()>& body) {
    if (const int rc = connection_.exec("BEGIN IMMEDIATE"); rc != SQLITE_OK) {
        return failure(rc, doing);
    }
    const long status = body();
    if (status != ERROR_SUCCESS) {
        connection_.exec("ROLLBACK");
        return status;
    }
    if (const int rc = connection_.exec("COMMIT"); rc != SQLITE_OK) {
        const long failed = failure(rc, doing);
        connection_.exec("ROLLBACK");
        return failed;
    }
    return ERROR_SUCCESS;
}

long HiveFile::existsLocked(std::int64_t key) {
    sqlite3_stmt* raw = nullptr;
    if (const int rc = connection_.prepare(kKeyExists, raw); rc != SQLITE_OK) {
        return failure(rc, "looking up a key");
    }
    SqliteStatement statement(raw);
    const int rc = statement.bind(1, key).step();
    if (rc == SQLITE_ROW) {
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_KEY_DELETED : failure(rc, "looking up a key");
}

long HiveFile::childId(std::int64_t parent, const std::string& name, std::int64_t& id) {
    sqlite3_stmt* raw = nullptr;
    if (const int rc = connection_.prepare(kSelectChild, raw); rc != SQLITE_OK) {
        return failure(rc, "looking up a key");
    }
    SqliteStatement statement(raw);
    const int rc = statement.bind(1, parent).bind(2, foldName(name)).step();
    if (rc == SQLITE_ROW) {
        id = statement.integer(0);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : failure(rc, "looking up a key");
}

long HiveFile::insertKey(std::int64_t parent, const std::string& name, std::int64_t& id) {
    sqlite3_stmt* raw = nullptr;
    if (const int rc = connection_.prepare(kInsertKey, raw); rc != SQLITE_OK) {
        return failure(rc, "creating a key");
    }
    SqliteStatement statement(raw);
    const int rc = statement.bind(1, parent).bind(2, name).bind(3, foldName(name)).step();
    if (rc != SQLITE_DONE) {
        return failure(rc, "creating a key");
    }
    id = connection_.lastInsertId();
    return ERROR_SUCCESS;
}

long HiveFile::resolve(std::int64_t from, const std::vector<std::string>& parts, bool create,
                       std::int64_t& id) {
    std::lock_guard guard(mutex_);
    // Fast path without a write transaction: every part already exists.
    long status = walkExisting(from, parts, id);
    if (status != ERROR_FILE_NOT_FOUND || !create) {
        return status;
    }
    if (!writable_) {
        return ERROR_ACCESS_DENIED;
    }
    // Walk again inside the transaction: another writer may have changed the tree meanwhile.
    return inWriteTransaction("creating a key", [&]() -> long {
        if (const long exists = existsLocked(from); exists != ERROR_SUCCESS) {
            return exists;
        }
        std::int64_t walk = from;
        for (const std::string& part : parts) {
            std::int64_t child = 0;
            long step = childId(walk, part, child);
            if (step == ERROR_FILE_NOT_FOUND) {
                step = insertKey(walk, part, child);
            }
            if (step != ERROR_SUCCESS) {
                return step;
            }
            walk = child;
        }
        id = walk;
        return ERROR_SUCCESS;
    });
}

long HiveFile::walkExisting(std::int64_t from, const std::vector<std::string>& parts,
                            std::int64_t& id) {
    const ReadSnapshot snapshot(connection_);
    long status = existsLocked(from);
    std::int64_t current = from;
    for (std::size_t i = 0; status == ERROR_SUCCESS && i < parts.size(); ++i) {
        status = childId(current, parts[i], current);
    }
    if (status == ERROR_SUCCESS) {
        id = current;
    }
    return status;
}

long HiveFile::queryValue(std::int64_t key, std::string_view name, Value& out) {
    std::lock_guard guard(mutex_);
    sqlite3_stmt* raw = nullptr;
    if (const int rc = connection_.prepare(kSelectValue, raw); rc != SQLITE_OK) {
        return failure(rc, "reading a value");
    }
    SqliteStatement statement(raw);
    const int rc = statement.bind(1, key).bind(2, foldName(name)).step();
    if (rc == SQLITE_ROW) {
        out.type = static_cast<ValueType>(static_cast<std::uint32_t>(statement.integer(0)));
        out.data = statement.blob(1);
        return ERROR_SUCCESS;
    }
    if (rc != SQLITE_DONE) {
        return failure(rc, "reading a value");
    }
    const long exists = existsLocked(key);
    return exists == ERROR_SUCCESS ? ERROR_FILE_NOT_FOUND : exists;
}

long HiveFile::setValue(std::int64_t key, std::string_view name, const Value& value) {
    if (!writable_) {
        return ERROR_ACCESS_DENIED;
    }
    std::lock_guard guard(mutex_);
    return inWriteTransaction("writing a value", [&]() -> long {
        if (const long exists = existsLocked(key); exists != ERROR_SUCCESS) {
            return exists;
        }
        sqlite3_stmt* raw = nullptr;
        if (const int rc = connection_.prepare(kUpsertValue, raw); rc != SQLITE_OK) {
            return failure(rc, "writing a value");
        }
        SqliteStatement statement(raw);
        const int rc = statement.bind(1, key)
                           .bind(2, name)
                           .bind(3, foldName(name))
                           .bind(4, static_cast<std::int64_t>(value.type))
                           .bindBlob(5, value.data)
                           .step();
        return rc == SQLITE_DONE ? ERROR_SUCCESS : failure(rc, "writing a value");
    });
}

long HiveFile::deleteValue(std::int64_t key, std::string_view name) {
    if (!writable_) {
        return ERROR_ACCESS_DENIED;
    }
    std::lock_guard guard(mutex_);
    return inWriteTransaction("deleting a value", [&]() -> long {
        if (const long exists = existsLocked(key); exists != ERROR_SUCCESS) {
            return exists;
        }
        sqlite3_stmt* raw = nullptr;
        if (const int rc = connection_.prepare(kDeleteValue, raw); rc != SQLITE_OK) {
            return failure(rc, "deleting a value");
        }
        SqliteStatement statement(raw);
        const int rc = statement.bind(1, key).bind(2, foldName(name)).step();
        if (rc != SQLITE_DONE) {
            return failure(rc, "deleting a value");
        }
        return connection_.changes() > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

long HiveFile::runStatement(const char* sql, std::int64_t key) {
    sqlite3_stmt* raw = nullptr;
    if (const int rc = connection_.prepare(sql, raw); rc != SQLITE_OK) {
        return failure(rc, "deleting keys");
    }
    SqliteStatement statement(raw);
    const int rc = statement.bind(1, key).step();
    return rc == SQLITE_DONE ? ERROR_SUCCESS : failure(rc, "deleting keys");
}

long HiveFile::deleteSubtree(std::int64_t key, bool keepKey) {
    for (const char* sql : {kDeleteDescendantValues, kDeleteDescendantKeys, kDeleteOwnValues}) {
        if (const long status = runStatement(sql, key); status != ERROR_SUCCESS) {
            return status;
        }
    }
    return keepKey ? ERROR_SUCCESS : runStatement(kDeleteKey, key);
}

long HiveFile::deleteTree(std::int64_t key, const std::vector<std::string>& parts) {
    if (!writable_) {
        return ERROR_ACCESS_DENIED;
    }
    std::lock_guard guard(mutex_);
    return inWriteTransaction("deleting keys", [&]() -> long {
        if (const long exists = existsLocked(key); exists != ERROR_SUCCESS) {
            return exists;
        }
        std::int64_t target = key;
        for (const std::string& part : parts) {
            if (const long step = childId(target, part, target); step != ERROR_SUCCESS) {
                return step;
            }
        }
        return deleteSubtree(target, parts.empty());
    });
}

long HiveFile::enumSubkeys(std::int64_t key, std::vector<std::string>& names) {
    return listNames(key, kSelectSubkeys, "listing subkeys", names);
}

long HiveFile::enumValues(std::int64_t key, std::vector<std::string>& names) {
    return listNames(key, kSelectValueNames, "listing values", names);
}

// The names one query lists for a key (its subkeys or its values), read in one snapshot.
long HiveFile::listNames(std::int64_t key, const char* query, const char* what,
                         std::vector<std::string>& names) {
    names.clear();
    std::lock_guard guard(mutex_);
    const ReadSnapshot snapshot(connection_);
    if (const long exists = existsLocked(key); exists != ERROR_SUCCESS) {
        return exists;
    }
    sqlite3_stmt* raw = nullptr;
    if (const int rc = connection_.prepare(query, raw); rc != SQLITE_OK) {
        return failure(rc, what);
    }
    SqliteStatement statement(raw);
    statement.bind(1, key);
    int rc = SQLITE_ROW;
    while ((rc = statement.step()) == SQLITE_ROW) {
        names.push_back(statement.text(0));
    }
    if (rc != SQLITE_DONE) {
        names.clear();
        return failure(rc, what);
    }
    return ERROR_SUCCESS;
}

}  // namespace qm::registry::detail
