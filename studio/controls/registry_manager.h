#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/store.h"

namespace qm::studio::controls {

// Values by section and name under one settings root of the registry (for the studio
// HKEY_CURRENT_USER\Software\QUILLMERE\qmTonecraft): integers and colours as REG_DWORD, doubles
// and blobs as REG_BINARY. A read answers nothing when the value is missing or stored in another
// form, so the caller's default applies; a write creates the section when needed and reports
// whether the value was stored.
class RegistryManager {
  public:
    RegistryManager(registry::Store& store, registry::Hive hive, std::string root);

    registry::Store& store() const { return store_; }
    registry::Hive hive() const { return hive_; }
    const std::string& root() const { return root_; }
    // "<root>\<section>"
    std::string sectionPath(std::string_view section) const;

    std::optional<std::uint32_t> getProfileInt(std::string_view section,
                                               std::string_view entry) const;
    bool writeProfileInt(std::string_view section, std::string_view entry, std::uint32_t value);

    // Colours are 0x00BBGGRR values.
    std::optional<std::uint32_t> getProfileColor(std::string_view section,
                                                 std::string_view entry) const;
    bool writeProfileColor(std::string_view section, std::string_view entry, std::uint32_t color);

    // Eight bytes, IEEE 754 little-endian.
    std::optional<double> getProfileDouble(std::string_view section, std::string_view entry) const;
    bool writeProfileDouble(std::string_view section, std::string_view entry, double value);

    std::optional<std::vector<std::uint8_t>> getProfileBinary(std::string_view section,
                                                              std::string_view entry) const;
    bool writeProfileBinary(std::string_view section, std::string_view entry,
                            const std::vector<std::uint8_t>& bytes);

    // Deletes a section with everything under it; true when it is gone.
    bool deleteSection(std::string_view section);

  private:
    std::optional<registry::Value> read(std::string_view section, std::string_view entry) const;
    bool write(std::string_view section, std::string_view entry, const registry::Value& value);

    registry::Store& store_;
    registry::Hive hive_;
    std::string root_;
};

}  // namespace qm::studio::controls
