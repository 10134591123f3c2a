#pragma once

#include <string_view>

#include "common/sdk/hresult.h"

// Results that a call through D-Bus gives when the call itself, not the called method, fails.
// The sdk interface methods of the client binding never throw: every transport failure becomes
// one of these.
namespace qm::ipc {

// Win32 code of "The RPC server is unavailable".
inline constexpr std::int32_t RPC_S_SERVER_UNAVAILABLE = 1722;

// The bus or the service cannot be reached: no bus connection, the service's name has no owner,
// or the connection closed (0x800706BA).
inline constexpr sdk::HRESULT kServiceUnavailable =
    sdk::HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
// The service did not answer within the call time-out (0x800705B4).
inline constexpr sdk::HRESULT kCallTimedOut = sdk::HRESULT_FROM_WIN32(sdk::ERROR_TIMEOUT);
// The object is no longer exported by the service, for example a device object from before a
// restart of the service (RPC_E_DISCONNECTED, 0x80010108).
inline constexpr sdk::HRESULT kObjectDisconnected = static_cast<sdk::HRESULT>(0x80010108u);

// Error names the service uses in its own error replies.
inline constexpr const char* kErrorServiceStopping = "com.quillmere.Error.ServiceStopping";
inline constexpr const char* kErrorInternal = "com.quillmere.Error.Internal";

// The result for a failed call, from the D-Bus error name:
//   ServiceUnknown, NameHasNoOwner, Disconnected, NoServer, the service stopping and a closed
//   connection (sdbus reports those with an errno name)  -> kServiceUnavailable
//   NoReply, Timeout, TimedOut                           -> kCallTimedOut
//   UnknownObject, UnknownInterface, UnknownMethod       -> kObjectDisconnected
//   NoMemory                                             -> E_OUTOFMEMORY
//   AccessDenied                                         -> E_ACCESSDENIED
//   anything else (bad arguments, bad reply, ...)        -> E_FAIL
sdk::HRESULT hresultFromBusError(std::string_view errorName);

}  // namespace qm::ipc
