#include "platform/registry/hive_set.h"

#include <algorithm>

#include "common/text/text.h"
#include "platform/registry/hive_file.h"
#include "platform/registry/key_path.h"
#include "platform/registry/status.h"

namespace qm::registry::detail {
namespace {

constexpr std::string_view kClassesPath = "SOFTWARE\\Classes";
constexpr std::string_view kHiveExtension = ".sqlite";

// The user names of the "<name>.sqlite" files in `folder`.
std::vector<std::string> hiveNamesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    if (folder.empty()) {
        return names;
    }
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::filesystem::path& file = it->path();
        std::error_code typeError;
        if (file.extension() != kHiveExtension || !it->is_regular_file(typeError)) {
            continue;
        }
        std::string name = file.stem().string();
        if (isValidUserName(name)) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

}  // namespace

HiveSet::HiveSet(StoreLocations locations)
    : locations_(std::move(locations)), diagnostics_(std::make_shared<Diagnostics>()) {}

long HiveSet::openFile(const std::filesystem::path& file, bool createFile,
                       std::shared_ptr<HiveFile>& out) {
    const std::filesystem::path normal = file.lexically_normal();
    std::lock_guard guard(mutex_);
    if (auto found = open_.find(normal); found != open_.end()) {
        out = found->second;
        return ERROR_SUCCESS;
    }
    const long status = HiveFile::open(normal, createFile, diagnostics_, out);
    if (status == ERROR_SUCCESS) {
        open_.emplace(normal, out);
    }
    return status;
}

long HiveSet::fileRoot(const std::filesystem::path& file, bool createFile, Key& out) {
    std::shared_ptr<HiveFile> hive;
    const long status = openFile(file, createFile, hive);
    out = status == ERROR_SUCCESS ? Key(std::move(hive), HiveFile::kRootId, Access::Read) : Key();
    return status;
}

long HiveSet::rootKey(Hive hive, bool createFile, Key& out) {
    switch (hive) {
        case Hive::LocalMachine:
            return fileRoot(locations_.machineHive, createFile, out);
        case Hive::CurrentUser:
            return fileRoot(locations_.currentUserHive, createFile, out);
        case Hive::ClassesRoot: {
            Key machine;
            const long status = fileRoot(locations_.machineHive, createFile, machine);
            if (status != ERROR_SUCCESS) {
                out = Key();
                return status;
            }
            return machine.walk(kClassesPath, Access::Read, createFile, out);
        }
        case Hive::Users:
            out = Key(shared_from_this(), Access::Read);
            return ERROR_SUCCESS;
    }
    out = Key();
    return ERROR_INVALID_PARAMETER;
}

long HiveSet::openKey(Hive hive, std::string_view path, Access access, Key& out) {
    Key root;
    if (const long status = rootKey(hive, false, root); status != ERROR_SUCCESS) {
        out = Key();
        return status;
    }
    return root.walk(path, access, false, out);
}

long HiveSet::createKey(Hive hive, std::string_view path, Access access, Key& out) {
    Key root;
    if (const long status = rootKey(hive, true, root); status != ERROR_SUCCESS) {
        out = Key();
        return status;
    }
    return root.walk(path, access, true, out);
}

long HiveSet::deleteTree(Hive hive, std::string_view path) {
    Key root;
    long status = rootKey(hive, false, root);
    if (status == ERROR_SUCCESS) {
        status = root.walk({}, Access::ReadWrite, false, root);
    }
    return status == ERROR_SUCCESS ? root.deleteTree(path) : status;
}

std::vector<std::string> HiveSet::userNames() {
    std::vector<std::string> names = hiveNamesIn(locations_.usersFolder);
    names.push_back(locations_.currentUser);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = text::asciiICompare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    // One entry per name; the current user's spelling wins over a file's.
    std::vector<std::string> unique;
    for (std::string& name : names) {
        if (!unique.empty() && text::asciiIEquals(unique.back(), name)) {
            if (name == locations_.currentUser) {
                unique.back() = std::move(name);
            }
            continue;
        }
        unique.push_back(std::move(name));
    }
    return unique;
}

std::filesystem::path HiveSet::userHiveFile(std::string_view user) {
    if (text::asciiIEquals(user, locations_.currentUser)) {
        return locations_.currentUserHive;
    }
    const std::vector<std::string> names = hiveNamesIn(locations_.usersFolder);
    auto match = std::find(names.begin(), names.end(), user);
    if (match == names.end()) {
        match = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
            return text::asciiIEquals(name, user);
        });
    }
    return match == names.end() ? std::filesystem::path() : locations_.userHiveInFolder(*match);
}

long HiveSet::userRootKey(std::string_view user, bool createFile, Key& out) {
    const std::filesystem::path file = userHiveFile(user);
    if (file.empty()) {
        out = Key();
        return ERROR_FILE_NOT_FOUND;
    }
    const bool isCurrentUser = text::asciiIEquals(user, locations_.currentUser);
    return fileRoot(file, createFile && isCurrentUser, out);
}

}  // namespace qm::registry::detail
