#pragma once

// File system failures as the Win32 status codes the rest of the system speaks.
namespace qm::servicehost {

inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_PATH_NOT_FOUND = 3;
inline constexpr long ERROR_ACCESS_DENIED = 5;
inline constexpr long ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr long ERROR_WRITE_PROTECT = 19;
inline constexpr long ERROR_GEN_FAILURE = 31;
inline constexpr long ERROR_INVALID_PARAMETER = 87;
inline constexpr long ERROR_DISK_FULL = 112;
inline constexpr long ERROR_BAD_PATHNAME = 161;
inline constexpr long ERROR_ALREADY_EXISTS = 183;
inline constexpr long ERROR_FILENAME_EXCED_RANGE = 206;

// ENOENT -> ERROR_FILE_NOT_FOUND, EACCES -> ERROR_ACCESS_DENIED, ENOSPC -> ERROR_DISK_FULL, ...;
// anything without a closer match -> ERROR_GEN_FAILURE. 0 -> ERROR_SUCCESS.
long win32ErrorFromErrno(int error);

}  // namespace qm::servicehost
