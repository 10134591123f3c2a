#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <vector>

namespace qm::studio {

// Who the process runs as: its effective user id and every group it is a member of.
struct ProcessIdentity {
    uid_t effectiveUser = 0;
    std::vector<gid_t> groups;
};

// Finds a group's id by name; nothing when the system has no such group.
using GroupLookup = std::function<std::optional<gid_t>(const char* name)>;

// True for root and for members of the system's administrators group ("sudo", "wheel" or
// "admin", whichever exist).
bool isAdministrator(const ProcessIdentity& identity, const GroupLookup& lookup);

// The check for this process. Any failure to learn the identity counts as no.
bool isAdministrator();

}  // namespace qm::studio
