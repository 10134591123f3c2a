#include <gtest/gtest.h>

#include <map>

#include "platform/registry/store_locations.h"

namespace qm::registry {
namespace {

StoreLocations::EnvironmentLookup environment(std::map<std::string, std::string> variables) {
    return [variables = std::move(variables)](const char* name) -> std::optional<std::string> {
        auto found = variables.find(name);
        if (found == variables.end()) {
            return std::nullopt;
        }
        return found->second;
    };
}

TEST(StoreLocations, RegistryDirPutsEveryHiveInOneFolder) {
    const auto locations = StoreLocations::fromEnvironment(environment(
        {{"QM_REGISTRY_DIR", "/tmp/reg"}, {"QM_REGISTRY_USER", "alice"}, {"HOME", "/home/a"}}));
    EXPECT_EQ(locations.machineHive, "/tmp/reg/machine.sqlite");
    EXPECT_EQ(locations.currentUser, "alice");
    EXPECT_EQ(locations.currentUserHive, "/tmp/reg/users/alice.sqlite");
    EXPECT_EQ(locations.usersFolder, "/tmp/reg/users");
}

TEST(StoreLocations, DefaultsFollowTheXdgConfigFolder) {
    auto locations = StoreLocations::fromEnvironment(
        environment({{"QM_REGISTRY_USER", "bob"}, {"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/h"}}));
    EXPECT_EQ(locations.machineHive, "/var/lib/quillmere/registry/machine.sqlite");
    EXPECT_EQ(locations.currentUserHive, "/cfg/quillmere/registry.sqlite");
    EXPECT_TRUE(locations.usersFolder.empty());

    locations = StoreLocations::fromEnvironment(
        environment({{"QM_REGISTRY_USER", "bob"}, {"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}));
    EXPECT_EQ(locations.currentUserHive, "/h/.config/quillmere/registry.sqlite");
}

TEST(StoreLocations, UnusableUserNamesFallBackToTheUserId) {
    const auto locations = StoreLocations::fromEnvironment(
        environment({{"QM_REGISTRY_DIR", "/r"}, {"QM_REGISTRY_USER", "../etc"}}));
    EXPECT_EQ(locations.currentUser.rfind("uid", 0), 0u) << locations.currentUser;
    EXPECT_EQ(locations.currentUserHive.parent_path(), "/r/users");

    EXPECT_FALSE(isValidUserName(""));
    EXPECT_FALSE(isValidUserName(".."));
    EXPECT_FALSE(isValidUserName("a\\b"));
    EXPECT_TRUE(isValidUserName("first.last"));
}

TEST(StoreLocations, WithoutOverridesTheCurrentUserIsTheLoginName) {
    const auto locations = StoreLocations::fromEnvironment(environment({{"HOME", "/h"}}));
    EXPECT_FALSE(locations.currentUser.empty());
    EXPECT_TRUE(isValidUserName(locations.currentUser));
}

}  // namespace
}  // namespace qm::registry
