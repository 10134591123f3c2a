#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/registry/registry_test_support.h"
#include "platform/registry/status.h"

namespace qm::studio::testing {

using TempFolder = qm::testing::TempFolder;
// A registry store of its own, in a temporary folder, for one test.
using TempRegistry = registry::testing::StoreFixture;

// The key, made when it is missing, open for reading and writing.
inline registry::Key createdKey(registry::Store& store, registry::Hive hive,
                                const std::string& path) {
    registry::Key key;
    EXPECT_EQ(store.createKey(hive, path, registry::Access::ReadWrite, key),
              registry::ERROR_SUCCESS)
        << path;
    return key;
}

// How opening the key for reading ends: ERROR_FILE_NOT_FOUND when it does not exist.
inline long openStatus(registry::Store& store, registry::Hive hive, const std::string& path) {
    registry::Key key;
    return store.openKey(hive, path, registry::Access::Read, key);
}

}  // namespace qm::studio::testing
