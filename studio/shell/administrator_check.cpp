#include "studio/shell/administrator_check.h"

#include <grp.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace qm::studio {
namespace {

constexpr std::array<const char*, 3> kAdministratorGroups = {"sudo", "wheel", "admin"};

std::optional<gid_t> systemGroupId(const char* name) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    while (true) {
        const int error = getgrnam_r(name, &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || found == nullptr) {
            return std::nullopt;
        }
        return found->gr_gid;
    }
}

std::optional<ProcessIdentity> currentIdentity() {
    ProcessIdentity identity;
    identity.effectiveUser = geteuid();
    const int count = getgroups(0, nullptr);
    if (count < 0) {
        return std::nullopt;
    }
    identity.groups.resize(static_cast<std::size_t>(count));
    if (count > 0 && getgroups(count, identity.groups.data()) != count) {
        return std::nullopt;
    }
    identity.groups.push_back(getegid());
    return identity;
}

}  // namespace

bool isAdministrator(const ProcessIdentity& identity, const GroupLookup& lookup) {
    if (identity.effectiveUser == 0) {
        return true;
    }
    for (const char* name : kAdministratorGroups) {
        const auto id = lookup(name);
        if (id && std::find(identity.groups.begin(), identity.groups.end(), *id) !=
                      identity.groups.end()) {
            return true;
        }
    }
    return false;
}

bool isAdministrator() {
    const auto identity = currentIdentity();
    return identity && isAdministrator(*identity, systemGroupId);
}

}  // namespace qm::studio
