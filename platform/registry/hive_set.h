#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/diagnostics.h"
#include "platform/registry/key.h"
#include "platform/registry/store_locations.h"

// The hive files of one store, each opened once and shared by every key handle on it, and the
// mapping from hives to their root keys.
namespace qm::registry::detail {

class HiveFile;

class HiveSet : public std::enable_shared_from_this<HiveSet> {
  public:
    explicit HiveSet(StoreLocations locations);

    const StoreLocations& locations() const { return locations_; }
    void setDiagnosticSink(DiagnosticSink sink) { diagnostics_->setSink(std::move(sink)); }

    // The operations of the Store (see store.h). Only createKey creates a missing hive file.
    [[nodiscard]] long openKey(Hive hive, std::string_view path, Access access, Key& out);
    [[nodiscard]] long createKey(Hive hive, std::string_view path, Access access, Key& out);
    [[nodiscard]] long deleteTree(Hive hive, std::string_view path);

    // HKEY_USERS: the names of the user hives, and the root key (with Read access) of one of
    // them. Only the current user's hive file may be created here.
    std::vector<std::string> userNames();
    [[nodiscard]] long userRootKey(std::string_view user, bool createFile, Key& out);

  private:
    // The root key of a hive with Read access (its subkeys may still be opened for writing).
    [[nodiscard]] long rootKey(Hive hive, bool createFile, Key& out);
    [[nodiscard]] long openFile(const std::filesystem::path& file, bool createFile,
                                std::shared_ptr<HiveFile>& out);
    [[nodiscard]] long fileRoot(const std::filesystem::path& file, bool createFile, Key& out);
    std::filesystem::path userHiveFile(std::string_view user);

    const StoreLocations locations_;
    const std::shared_ptr<Diagnostics> diagnostics_;
    std::mutex mutex_;
    std::map<std::filesystem::path, std::shared_ptr<HiveFile>> open_;
};

}  // namespace qm::registry::detail
