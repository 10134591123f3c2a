#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/value.h"

namespace qm::registry {

namespace detail {
class HiveFile;
class HiveSet;
}  // namespace detail

// An open registry key, like an HKEY. Every operation returns a Win32 status (status.h).
//
// A handle keeps its hive file open for as long as it exists (even after the Store is gone), may
// be copied and moved, and may be used from several threads at once (each call is atomic; the
// handle itself must not be reassigned while another thread uses it). When the key is deleted
// under an open handle, operations on the handle give ERROR_KEY_DELETED; a key created later
// under the same name is a different key.
//
// Names of subkeys and values compare without regard to ASCII case and keep their first
// spelling; the default value has the empty name. Out-parameters are cleared or reset on failure.
class Key {
  public:
    Key() = default;

    bool valid() const { return hive_ != nullptr || users_ != nullptr; }
    Access access() const { return access_; }
    void close();

    // Subkeys by a backslash path relative to this key; an empty path gives a new handle to this
    // key. Another access than this handle's may be asked for; ReadWrite fails with
    // ERROR_ACCESS_DENIED on a hive this process may not write. createSubkey creates the missing
    // keys of the path, which needs this handle to be ReadWrite; through a Read handle it only
    // opens keys that exist.
    [[nodiscard]] long openSubkey(std::string_view path, Access access, Key& out) const;
    [[nodiscard]] long createSubkey(std::string_view path, Access access, Key& out) const;

    [[nodiscard]] long queryValue(std::string_view name, Value& out) const;
    [[nodiscard]] long setValue(std::string_view name, const Value& value) const;
    [[nodiscard]] long deleteValue(std::string_view name) const;
    // Deletes the subkey at `subkeyPath` with everything under it. An empty path deletes every
    // value and subkey of this key and keeps the key.
    [[nodiscard]] long deleteTree(std::string_view subkeyPath) const;

    // Subkey names in ASCII-case-insensitive order; value names in creation order.
    [[nodiscard]] long enumSubkeys(std::vector<std::string>& names) const;
    [[nodiscard]] long enumValues(std::vector<std::string>& names) const;

  private:
    friend class detail::HiveSet;

    Key(std::shared_ptr<detail::HiveFile> hive, std::int64_t id, Access access);
    // HKEY_USERS itself: its subkeys are the user hives.
    Key(std::shared_ptr<detail::HiveSet> users, Access access);

    // Opens or creates the key at `path` below this one, whatever this handle's own access.
    [[nodiscard]] long walk(std::string_view path, Access access, bool create, Key& out) const;
    [[nodiscard]] long walkUsers(const std::vector<std::string>& parts, Access access, bool create,
                                 Key& out) const;

    std::shared_ptr<detail::HiveFile> hive_;
    std::shared_ptr<detail::HiveSet> users_;
    std::int64_t id_ = 0;
    Access access_ = Access::Read;
};

}  // namespace qm::registry
