#pragma once

#include <cstdint>

// Result codes of the client interface. Every interface method returns one; yes/no queries
// return S_OK or S_FALSE.
namespace qm::sdk {

using HRESULT = std::int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
inline constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

// Win32 error codes that appear as results.
inline constexpr std::int32_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr std::int32_t ERROR_INVALID_DATA = 13;
inline constexpr std::int32_t ERROR_DIRECTORY = 267;                 // 0x10B, not a folder
inline constexpr std::int32_t ERROR_SERVICE_REQUEST_TIMEOUT = 1053;  // 0x41D
inline constexpr std::int32_t ERROR_SERVICE_START_HANG = 1070;       // 0x42E
inline constexpr std::int32_t ERROR_NOT_FOUND = 1168;                // 0x490
inline constexpr std::int32_t ERROR_INVALID_SERVICE_CONTROL = 1352;  // 0x548
inline constexpr std::int32_t ERROR_TIMEOUT = 1460;                  // 0x5B4

// A Win32 error code as an HRESULT: the low 16 bits of the code with the upper half 0x8007.
// A code of 0 or below is returned unchanged.
constexpr HRESULT HRESULT_FROM_WIN32(std::int32_t code) {
    if (code <= 0) {
        return code;
    }
    return static_cast<HRESULT>((static_cast<std::uint32_t>(code) & 0x0000FFFFu) | 0x80070000u);
}

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

}  // namespace qm::sdk
