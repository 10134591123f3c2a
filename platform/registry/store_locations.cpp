#include "platform/registry/store_locations.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace qm::registry {
namespace {

constexpr const char* kHiveSuffix = ".sqlite";

std::optional<std::string> processEnvironment(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read-only use
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

std::optional<std::string> nonEmpty(const StoreLocations::EnvironmentLookup& lookup,
                                    const char* name) {
    auto value = lookup(name);
    if (value && value->empty()) {
        return std::nullopt;
    }
    return value;
}

struct Account {
    std::string name;
    std::string home;
};

Account effectiveAccount() {
    const uid_t uid = geteuid();
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return {found->pw_name != nullptr ? found->pw_name : "",
                found->pw_dir != nullptr ? found->pw_dir : ""};
    }
    return {"uid" + std::to_string(uid), ""};
}

}  // namespace

bool isValidUserName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (const char c : name) {
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
    }
    return true;
}

StoreLocations StoreLocations::inFolder(const std::filesystem::path& folder,
                                        const std::string& user) {
    StoreLocations locations;
    locations.machineHive = folder / "machine.sqlite";
    locations.usersFolder = folder / "users";
    locations.currentUser = user;
    locations.currentUserHive = locations.userHiveInFolder(user);
    return locations;
}

StoreLocations StoreLocations::fromEnvironment() {
    return fromEnvironment(processEnvironment);
}

StoreLocations StoreLocations::fromEnvironment(const EnvironmentLookup& lookup) {
    const Account account = effectiveAccount();
    std::string user = nonEmpty(lookup, "QM_REGISTRY_USER").value_or(account.name);
    if (!isValidUserName(user)) {
        user = "uid" + std::to_string(geteuid());
    }

    if (auto folder = nonEmpty(lookup, "QM_REGISTRY_DIR")) {
        return inFolder(*folder, user);
    }

    StoreLocations locations;
    locations.machineHive = "/var/lib/quillmere/registry/machine.sqlite";
    locations.currentUser = user;
    std::filesystem::path config;
    if (auto xdg = nonEmpty(lookup, "XDG_CONFIG_HOME")) {
        config = *xdg;
    } else {
        const std::string home = nonEmpty(lookup, "HOME").value_or(account.home);
        config = std::filesystem::path(home.empty() ? "/" : home) / ".config";
    }
    locations.currentUserHive = config / "quillmere" / "registry.sqlite";
    return locations;
}

std::filesystem::path StoreLocations::userHiveInFolder(const std::string& user) const {
    return usersFolder / (user + kHiveSuffix);
}

}  // namespace qm::registry
