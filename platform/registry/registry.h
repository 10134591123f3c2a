#pragma once

// Everything a user of the registry needs: the store and its locations, key handles, value types
// and encodings, the reading rules, and the status codes.
#include "platform/registry/key.h"
#include "platform/registry/status.h"
#include "platform/registry/store.h"
#include "platform/registry/store_locations.h"
#include "platform/registry/value.h"
#include "platform/registry/value_rules.h"
