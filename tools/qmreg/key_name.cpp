#include "tools/qmreg/key_name.h"

#include <array>
#include <utility>
#include <vector>

#include "common/text/text.h"
#include "platform/registry/key_path.h"
#include "platform/registry/status.h"

namespace qm::qmreg {
namespace {

using registry::Hive;

struct HiveSpelling {
    const char* shortName;
    const char* longName;
    Hive hive;
};

constexpr std::array<HiveSpelling, 4> kHives{{
    {"HKLM", "HKEY_LOCAL_MACHINE", Hive::LocalMachine},
    {"HKCU", "HKEY_CURRENT_USER", Hive::CurrentUser},
    {"HKCR", "HKEY_CLASSES_ROOT", Hive::ClassesRoot},
    {"HKU", "HKEY_USERS", Hive::Users},
}};

}  // namespace

std::optional<KeyName> parseKeyName(std::string_view text) {
    const std::size_t slash = text.find('\\');
    const std::string_view hive = text.substr(0, slash);
    const std::string_view rest =
        slash == std::string_view::npos ? std::string_view() : text.substr(slash + 1);
    for (const HiveSpelling& spelling : kHives) {
        if (text::asciiIEquals(hive, spelling.shortName) ||
            text::asciiIEquals(hive, spelling.longName)) {
            std::vector<std::string> parts;
            if (registry::splitKeyPath(rest, parts) != registry::ERROR_SUCCESS) {
                return std::nullopt;
            }
            KeyName key{spelling.hive, {}};
            for (const std::string& part : parts) {
                key.path = registry::joinKeyPath(key.path, part);
            }
            return key;
        }
    }
    return std::nullopt;
}

std::string hiveName(Hive hive) {
    for (const HiveSpelling& spelling : kHives) {
        if (spelling.hive == hive) {
            return spelling.longName;
        }
    }
    return "HKEY_UNKNOWN";
}

std::string fullKeyName(const KeyName& key) {
    return registry::joinKeyPath(hiveName(key.hive), key.path);
}

}  // namespace qm::qmreg
