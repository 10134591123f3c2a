#include "platform/registry/key.h"

#include "platform/registry/hive_file.h"
#include "platform/registry/hive_set.h"
#include "platform/registry/key_path.h"
#include "platform/registry/status.h"

namespace qm::registry {

Key::Key(std::shared_ptr<detail::HiveFile> hive, std::int64_t id, Access access)
    : hive_(std::move(hive)), id_(id), access_(access) {}

Key::Key(std::shared_ptr<detail::HiveSet> users, Access access)
    : users_(std::move(users)), access_(access) {}

void Key::close() {
    hive_.reset();
    users_.reset();
    id_ = 0;
    access_ = Access::Read;
}

long Key::openSubkey(std::string_view path, Access access, Key& out) const {
    return walk(path, access, false, out);
}

long Key::createSubkey(std::string_view path, Access access, Key& out) const {
    if (valid() && access_ != Access::ReadWrite) {
        // Without write access on the parent only existing keys can be reached.
        const long status = walk(path, access, false, out);
        return status == ERROR_FILE_NOT_FOUND ? ERROR_ACCESS_DENIED : status;
    }
    return walk(path, access, true, out);
}

long Key::walk(std::string_view path, Access access, bool create, Key& out) const {
    Key result;
    std::vector<std::string> parts;
    long status = valid() ? splitKeyPath(path, parts) : ERROR_INVALID_HANDLE;
    if (status == ERROR_SUCCESS) {
        if (users_) {
            status = walkUsers(parts, access, create, result);
        } else {
            std::int64_t id = 0;
            status = hive_->resolve(id_, parts, create, id);
            if (status == ERROR_SUCCESS && access == Access::ReadWrite && !hive_->writable()) {
                status = ERROR_ACCESS_DENIED;
            }
            if (status == ERROR_SUCCESS) {
                result = Key(hive_, id, access);
            }
        }
    }
    out = std::move(result);  // last: `out` may be this handle
    return status;
}

long Key::walkUsers(const std::vector<std::string>& parts, Access access, bool create,
                    Key& out) const {
    if (parts.empty()) {
        out = Key(users_, access);
        return ERROR_SUCCESS;
    }
    Key userRoot;
    long status = users_->userRootKey(parts.front(), create, userRoot);
    if (status == ERROR_FILE_NOT_FOUND && create) {
        return ERROR_ACCESS_DENIED;  // HKEY_USERS itself takes no new subkeys
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    std::string rest;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        rest = joinKeyPath(rest, parts[i]);
    }
    return userRoot.walk(rest, access, create, out);
}

long Key::queryValue(std::string_view name, Value& out) const {
    long status = ERROR_INVALID_HANDLE;
    if (hive_) {
        status = hive_->queryValue(id_, name, out);
    } else if (users_) {
        status = ERROR_FILE_NOT_FOUND;
    }
    if (status != ERROR_SUCCESS) {
        out = Value{};
    }
    return status;
}

long Key::setValue(std::string_view name, const Value& value) const {
    if (!valid()) {
        return ERROR_INVALID_HANDLE;
    }
    if (access_ != Access::ReadWrite || users_) {
        return ERROR_ACCESS_DENIED;
    }
    return hive_->setValue(id_, name, value);
}

long Key::deleteValue(std::string_view name) const {
    if (!valid()) {
        return ERROR_INVALID_HANDLE;
    }
    if (access_ != Access::ReadWrite || users_) {
        return ERROR_ACCESS_DENIED;
    }
    return hive_->deleteValue(id_, name);
}

long Key::deleteTree(std::string_view subkeyPath) const {
    if (!valid()) {
        return ERROR_INVALID_HANDLE;
    }
    if (access_ != Access::ReadWrite) {
        return ERROR_ACCESS_DENIED;
    }
    std::vector<std::string> parts;
    if (const long split = splitKeyPath(subkeyPath, parts); split != ERROR_SUCCESS) {
        return split;
    }
    if (hive_) {
        return hive_->deleteTree(id_, parts);
    }
    // Below HKEY_USERS: a user hive itself is never deleted, only keys inside it.
    if (parts.size() < 2) {
        return ERROR_ACCESS_DENIED;
    }
    Key userRoot;
    if (const long status = users_->userRootKey(parts.front(), false, userRoot);
        status != ERROR_SUCCESS) {
        return status;
    }
    parts.erase(parts.begin());
    return userRoot.hive_->writable() ? userRoot.hive_->deleteTree(userRoot.id_, parts)
                                      : ERROR_ACCESS_DENIED;
}

long Key::enumSubkeys(std::vector<std::string>& names) const {
    names.clear();
    if (hive_) {
        return hive_->enumSubkeys(id_, names);
    }
    if (users_) {
        names = users_->userNames();
        return ERROR_SUCCESS;
    }
    return ERROR_INVALID_HANDLE;
}

long Key::enumValues(std::vector<std::string>& names) const {
    names.clear();
    if (hive_) {
        return hive_->enumValues(id_, names);
    }
    return users_ ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace qm::registry
