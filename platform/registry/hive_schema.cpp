#include "platform/registry/hive_schema.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "platform/registry/hive_file.h"
#include "platform/registry/sqlite_connection.h"
#include "platform/registry/status.h"

namespace qm::registry::detail {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE keys("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " parent_id INTEGER,"
    " name TEXT NOT NULL,"
    " name_fold TEXT NOT NULL,"
    " UNIQUE(parent_id, name_fold));"
    "CREATE TABLE key_values("
    " key_id INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " name_fold TEXT NOT NULL,"
    " type INTEGER NOT NULL,"
    " data BLOB NOT NULL,"
    " UNIQUE(key_id, name_fold));"
    "INSERT INTO keys(id, parent_id, name, name_fold) VALUES(1, NULL, '', '');";

std::string systemMessage(int error) {
    return std::error_code(error, std::generic_category()).message();
}

std::filesystem::path temporaryName(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temporary = path;
    temporary += ".new-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    return temporary;
}

void removeTemporary(const std::filesystem::path& temporary) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::filesystem::path file = temporary;
        file += suffix;
        std::filesystem::remove(file, ignored);
    }
}

// Writes the schema into a fresh file at `temporary`.
long buildHive(const std::filesystem::path& temporary, std::string& problem) {
    SqliteConnection connection;
    int rc = connection.open(temporary,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
    std::string mode;
    if (rc == SQLITE_OK) {
        rc = connection.queryText("PRAGMA journal_mode=WAL", mode);
    }
    if (rc == SQLITE_OK && mode != "wal") {
        problem = "cannot switch a new hive to WAL mode (mode " + mode + ")";
        return ERROR_REGISTRY_IO_FAILED;
    }
    if (rc == SQLITE_OK) {
        rc = connection.exec("PRAGMA synchronous=FULL");
    }
    if (rc == SQLITE_OK) {
        const std::string setup = "BEGIN IMMEDIATE;" + std::string(kSchema) +
                                  "PRAGMA application_id=" + std::to_string(kHiveApplicationId) +
                                  ";PRAGMA user_version=" + std::to_string(kHiveFormatVersion) +
                                  ";COMMIT;";
        rc = connection.exec(setup.c_str());
    }
    if (rc != SQLITE_OK) {
        problem = "cannot build a new hive: " + connection.lastError();
        return statusFromSqlite(rc);
    }
    rc = connection.close();
    if (rc != SQLITE_OK) {
        problem = "cannot finish a new hive: " + std::string(sqlite3_errstr(rc));
        return statusFromSqlite(rc);
    }
    return ERROR_SUCCESS;
}

// A new hive may be read by whoever may read its folder and written by the folder's group when
// the folder's group may write there (the machine hive's folder belongs to the group that
// manages microphones); nobody else may write it. SQLite gives its -wal and -shm files the
// same mode.
std::filesystem::perms hiveFileMode(const std::filesystem::path& folder) {
    using std::filesystem::perms;
    std::error_code error;
    const perms folderPerms =
        std::filesystem::status(folder.empty() ? "." : folder, error).permissions();
    perms mode = perms::owner_read | perms::owner_write;
    if (!error) {
        mode |= folderPerms & (perms::group_read | perms::group_write | perms::others_read);
    }
    return mode;
}

// Gives the finished hive its real name unless a file already has it. A hard link is the most
// widely supported way to do that atomically; a file system without hard links gets a rename
// that refuses to replace.
int putInPlace(const std::filesystem::path& temporary, const std::filesystem::path& path) {
    if (::link(temporary.c_str(), path.c_str()) == 0) {
        return 0;
    }
    int error = errno;
    if (error == EPERM || error == ENOTSUP || error == ENOSYS) {
        if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) ==
            0) {
            return 0;
        }
        error = errno;
    }
    return error == EEXIST ? 0 : error;
}

// Makes the new directory entry durable.
void syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

long createHiveFile(const std::filesystem::path& path, std::string& problem) {
    const std::filesystem::path folder = path.parent_path();
    std::error_code error;
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            problem = "cannot create the folder " + folder.string() + ": " + error.message();
            return ERROR_ACCESS_DENIED;
        }
    }

    const std::filesystem::path temporary = temporaryName(path);
    removeTemporary(temporary);  // a leftover of a crashed process with the same id
    long status = buildHive(temporary, problem);
    if (status == ERROR_SUCCESS) {
        std::filesystem::permissions(temporary, hiveFileMode(folder),
                                     std::filesystem::perm_options::replace, error);
        if (error) {
            problem = "cannot set the permissions of a new hive: " + error.message();
            status = ERROR_ACCESS_DENIED;
        }
    }
    if (status == ERROR_SUCCESS) {
        if (const int placeError = putInPlace(temporary, path); placeError != 0) {
            problem = "cannot put the new hive in place: " + systemMessage(placeError);
            status = placeError == EACCES || placeError == EPERM ? ERROR_ACCESS_DENIED
                                                                 : ERROR_REGISTRY_IO_FAILED;
        } else if (!folder.empty()) {
            syncFolder(folder);
        }
    }
    removeTemporary(temporary);
    return status;
}

}  // namespace qm::registry::detail
