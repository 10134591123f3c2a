#include "common/settings/system_paths.h"

#include <cstdlib>

namespace qm::settings {
namespace {

std::string fromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    std::string folder = (value && *value) ? value : fallback;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace

std::string defaultLogFolder() { return fromEnvironment("QM_LOG_DIR", "/var/log/quillmere"); }

std::string defaultProfileFolder() {
    return fromEnvironment("QM_PROFILE_DIR", "/var/lib/quillmere/profiles");
}

}  // namespace qm::settings
