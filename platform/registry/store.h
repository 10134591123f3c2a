#pragma once

#include <memory>
#include <string_view>

#include "platform/registry/diagnostics.h"
#include "platform/registry/key.h"
#include "platform/registry/store_locations.h"
#include "platform/registry/value.h"

namespace qm::registry {

namespace detail {
class HiveSet;
}

// The registry of this machine: the machine hive, the current user's hive, HKEY_CLASSES_ROOT as a
// view of the machine hive's SOFTWARE\Classes, and HKEY_USERS listing the user hives (see
// store_locations.h for where the files are and how HKEY_USERS is filled).
//
// A process normally makes one Store and shares it (by reference or pointer) with all its parts:
// every method may be called from any thread at once, and the hive files are opened once and
// used by all keys. Other processes (the service and the studio) may use the same files at the
// same time; every write is one transaction that is on disk when the call returns.
//
// Hive files are opened when first needed. openKey never creates anything: a hive whose file is
// missing has no keys (ERROR_FILE_NOT_FOUND). createKey creates the file (and its folders) if
// needed. A file that is damaged, foreign or unreadable is reported once to the diagnostic sink
// and left untouched; operations on it fail (ERROR_BADDB, ERROR_ACCESS_DENIED) so callers treat
// its values as missing. A hive file that may only be read gives ERROR_ACCESS_DENIED for
// ReadWrite opens, as Windows does for a user without rights.
class Store {
  public:
    explicit Store(StoreLocations locations);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    const StoreLocations& locations() const;

    // Where problems with the store files go; an empty sink restores the default (one line to
    // stderr). Each distinct problem is reported once.
    void setDiagnosticSink(DiagnosticSink sink);

    [[nodiscard]] long openKey(Hive hive, std::string_view path, Access access, Key& out);
    // Opens the key, creating it and its missing parents first.
    [[nodiscard]] long createKey(Hive hive, std::string_view path, Access access, Key& out);
    // Deletes the key at `path` and everything under it. An empty path deletes every value and
    // key of the hive's root (below HKEY_USERS: refused, as are the user hives themselves).
    [[nodiscard]] long deleteTree(Hive hive, std::string_view path);

  private:
    std::shared_ptr<detail::HiveSet> hives_;
};

}  // namespace qm::registry
