#pragma once

#include <optional>
#include <string>

// The help texts of qmctl: the overview (commands, options, exit codes) and one text per
// command or for the sim commands together.
namespace qm::qmctl {

std::string overviewHelp();
// Help for a topic as command_line.h names it ("list", "sim plug", "sim"); the overview for
// nothing or an unknown topic.
std::string helpFor(const std::optional<std::string>& topic);

}  // namespace qm::qmctl
