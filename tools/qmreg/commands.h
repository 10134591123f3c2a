#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/registry/store.h"

// The qmreg command line: look inside the registry store and change it.
//
//   qmreg query <key> [name]                 the key's values and subkeys, or one value
//   qmreg set <key> <name> <type> <value>    create the key if needed and store the value
//   qmreg delete <key> [name]                one value, or the key with everything under it
//   qmreg export <key>                       the key and its subtree as text, a block per key
//   qmreg --help
//
// Exit codes: 0 success, 1 the store refused or the key or value does not exist, 2 bad usage.
namespace qm::qmreg {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs one command (`args` without the program name), writing results to `out` and messages
// to `err`; returns the exit code.
int run(const std::vector<std::string>& args, registry::Store& store, std::ostream& out,
        std::ostream& err);

// The --help text.
std::string usage();

}  // namespace qm::qmreg
