#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/profiles/apply_log.h"
#include "common/profiles/profile_applier.h"
#include "common/profiles/profile_library.h"

// What the profile commands print, as text for people and as JSON lines for scripts.
namespace qm::qmctl {

// The profiles by model; `empty` is the line printed when there are none.
std::string profileListText(const std::vector<profiles::ListedProfile>& listed,
                            std::string_view empty);
std::string profileListJson(const std::vector<profiles::ListedProfile>& listed);

std::string profileShowText(const profiles::CProfile& profile);
std::string profileShowJson(const profiles::CProfile& profile);

// One object describing a stored profile: {"id":..,"name":..,"path":..} and more.
std::string profileJson(const profiles::CProfile& profile);

// Apply progress: a text line per finished log entry; a JSON line per change of an entry.
std::string applyEntryText(const profiles::ApplyEntry& entry);
std::string applyEntryJson(profiles::ApplyLog::Change change, std::size_t index,
                           const profiles::ApplyEntry& entry);

// The end of an apply run.
std::string applyOutcomeText(std::string_view serial, const profiles::CProfile& profile,
                             const profiles::ApplyOutcome& outcome);
std::string applyOutcomeJson(std::string_view serial, const profiles::CProfile& profile,
                             const profiles::ApplyOutcome& outcome);

}  // namespace qm::qmctl
