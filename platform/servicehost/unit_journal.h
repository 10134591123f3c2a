#pragma once

#include <string>

namespace qm::servicehost {

// The last error a unit's processes wrote to the systemd journal: among the unit's most recent
// 200 entries (of its run `invocationId` when one is given), the latest message of priority
// "err" or worse, else the latest message of all. Empty when the journal can't be read by this
// user or holds nothing of the unit. `journalDirectory` empty: the machine's own journal.
std::string lastUnitJournalError(const std::string& unitName, const std::string& invocationId,
                                 const std::string& journalDirectory = {});

}  // namespace qm::servicehost
