#pragma once

#include <string>

#include "common/runtime/clock.h"

namespace qm::studio {

// The last error line the service wrote to its own log of the given day
// ("<folder>/<name> [yyyy.mm.dd].log"), without its time stamp; empty when the file can't be
// read or holds no error. Only the end of a long file is read.
std::string lastServiceLogError(const std::string& folder, const std::string& name,
                                const LocalDateTime& day);

}  // namespace qm::studio
