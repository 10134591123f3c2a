#pragma once

// Result codes of every registry operation: the Win32 status values that callers of a registry
// expect, so that code written against them (and the HRESULTs made from them) keeps its meaning.
namespace qm::registry {

inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;  // key or value does not exist
inline constexpr long ERROR_ACCESS_DENIED = 5;   // read-only handle or hive, or no rights
inline constexpr long ERROR_INVALID_HANDLE = 6;  // the key handle is empty or closed
inline constexpr long ERROR_INVALID_DATA = 13;   // stored value has the wrong type or form
inline constexpr long ERROR_OUTOFMEMORY = 14;
inline constexpr long ERROR_INVALID_PARAMETER = 87;  // malformed key path or name
inline constexpr long ERROR_BUSY = 170;              // hive stayed locked by another writer
inline constexpr long ERROR_MORE_DATA = 234;         // value larger than the caller accepts
inline constexpr long ERROR_NO_MORE_ITEMS = 259;
inline constexpr long ERROR_BADDB = 1009;               // hive file damaged or not a hive
inline constexpr long ERROR_REGISTRY_IO_FAILED = 1016;  // reading or writing the file failed
inline constexpr long ERROR_KEY_DELETED = 1018;         // the key was deleted under the handle

// A short English description of a status, e.g. "the key or value was not found".
const char* statusText(long status);

}  // namespace qm::registry
