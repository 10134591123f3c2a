#include "studio/controls/registry_manager.h"

#include <bit>

#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"

namespace qm::studio::controls {

RegistryManager::RegistryManager(registry::Store& store, registry::Hive hive, std::string root)
    : store_(store), hive_(hive), root_(std::move(root)) {}

std::string RegistryManager::sectionPath(std::string_view section) const {
    std::string path = root_;
    if (!section.empty()) {
        path += '\\';
        path += section;
    }
    return path;
}

std::optional<registry::Value> RegistryManager::read(std::string_view section,
                                                     std::string_view entry) const {
    registry::Key key;
    if (store_.openKey(hive_, sectionPath(section), registry::Access::Read, key) !=
        registry::ERROR_SUCCESS) {
        return std::nullopt;
    }
    registry::Value value;
    if (key.queryValue(entry, value) != registry::ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

bool RegistryManager::write(std::string_view section, std::string_view entry,
                            const registry::Value& value) {
    registry::Key key;
    if (store_.createKey(hive_, sectionPath(section), registry::Access::ReadWrite, key) !=
        registry::ERROR_SUCCESS) {
        return false;
    }
    return key.setValue(entry, value) == registry::ERROR_SUCCESS;
}

std::optional<std::uint32_t> RegistryManager::getProfileInt(std::string_view section,
                                                            std::string_view entry) const {
    registry::Key key;
    if (store_.openKey(hive_, sectionPath(section), registry::Access::Read, key) !=
        registry::ERROR_SUCCESS) {
        return std::nullopt;
    }
    return registry::readDword(key, entry);
}

bool RegistryManager::writeProfileInt(std::string_view section, std::string_view entry,
                                      std::uint32_t value) {
    return write(section, entry, registry::encodeDword(value));
}

std::optional<std::uint32_t> RegistryManager::getProfileColor(std::string_view section,
                                                              std::string_view entry) const {
    return getProfileInt(section, entry);
}

bool RegistryManager::writeProfileColor(std::string_view section, std::string_view entry,
                                        std::uint32_t color) {
    return writeProfileInt(section, entry, color);
}

std::optional<double> RegistryManager::getProfileDouble(std::string_view section,
                                                        std::string_view entry) const {
    const auto value = read(section, entry);
    if (!value || value->type != registry::ValueType::Binary ||
        value->data.size() != sizeof(std::uint64_t)) {
        return std::nullopt;
    }
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < sizeof bits; ++i) {
        bits |= static_cast<std::uint64_t>(value->data[i]) << (8 * i);
    }
    return std::bit_cast<double>(bits);
}

bool RegistryManager::writeProfileDouble(std::string_view section, std::string_view entry,
                                         double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    registry::Value stored{registry::ValueType::Binary, {}};
    for (std::size_t i = 0; i < sizeof bits; ++i) {
        stored.data.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
    return write(section, entry, stored);
}

std::optional<std::vector<std::uint8_t>> RegistryManager::getProfileBinary(
    std::string_view section, std::string_view entry) const {
    auto value = read(section, entry);
    if (!value || value->type != registry::ValueType::Binary) {
        return std::nullopt;
    }
    return std::move(value->data);
}

bool RegistryManager::writeProfileBinary(std::string_view section, std::string_view entry,
                                         const std::vector<std::uint8_t>& bytes) {
    return write(section, entry, registry::Value{registry::ValueType::Binary, bytes});
}

bool RegistryManager::deleteSection(std::string_view section) {
    const long status = store_.deleteTree(hive_, sectionPath(section));
    return status == registry::ERROR_SUCCESS || status == registry::ERROR_FILE_NOT_FOUND;
}

}  // namespace qm::studio::controls
