#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace qm::registry {

// Where the hive files live: the one place that turns hives into file paths.
//
// Defaults on Linux:
//   machine hive       /var/lib/quillmere/registry/machine.sqlite
//   current user hive  $XDG_CONFIG_HOME/quillmere/registry.sqlite (XDG_CONFIG_HOME defaults to
//                      ~/.config)
//   users folder       none: HKEY_USERS then lists the current user only
// With QM_REGISTRY_DIR=<dir> every hive file lives in that folder instead:
//   <dir>/machine.sqlite and <dir>/users/<user>.sqlite, the current user's among them.
// QM_REGISTRY_USER names the current user (default: the login name of the effective user id).
//
// HKEY_USERS lists the current user and every "<name>.sqlite" file of the users folder, by
// <name>. Only hives listed there can be opened through HKEY_USERS; a user hive's file is never
// created through HKEY_USERS except the current user's.
struct StoreLocations {
    std::filesystem::path machineHive;
    std::string currentUser;
    std::filesystem::path currentUserHive;
    std::filesystem::path usersFolder;  // may be empty

    // Every hive in one folder, as QM_REGISTRY_DIR does; `user` is the current user's name.
    static StoreLocations inFolder(const std::filesystem::path& folder, const std::string& user);

    // Reads the variables above through `lookup` (tests pass their own; the default reads the
    // process environment).
    using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;
    static StoreLocations fromEnvironment();
    static StoreLocations fromEnvironment(const EnvironmentLookup& lookup);

    // The file of the named user hive in the users folder (no check that it exists).
    std::filesystem::path userHiveInFolder(const std::string& user) const;
};

// True when `name` can name a user hive file: not empty, not "." or "..", no slash, backslash
// or control character.
bool isValidUserName(const std::string& name);

}  // namespace qm::registry
