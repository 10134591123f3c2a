#pragma once

#include "platform/registry/registry_test_support.h"

namespace qm::studio::testing {

using TempFolder = qm::testing::TempFolder;
// A registry store of its own, in a temporary folder, for one test.
using TempRegistry = registry::testing::StoreFixture;

}  // namespace qm::studio::testing
