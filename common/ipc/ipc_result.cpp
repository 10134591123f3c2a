#include "common/ipc/ipc_result.h"

#include <initializer_list>

namespace qm::ipc {
namespace {

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    for (const std::string_view candidate : names) {
        if (name == candidate) {
            return true;
        }
    }
    return false;
}

}  // namespace

sdk::HRESULT hresultFromBusError(std::string_view errorName) {
    constexpr std::string_view kDBus = "org.freedesktop.DBus.Error.";
    constexpr std::string_view kErrno = "System.Error.";
    if (errorName == kErrorServiceStopping) {
        return kServiceUnavailable;
    }
    if (errorName.starts_with(kDBus)) {
        const std::string_view name = errorName.substr(kDBus.size());
        if (isOneOf(name, {"ServiceUnknown", "NameHasNoOwner", "Disconnected", "NoServer",
                           "NoNetwork", "AddressInUse", "BadAddress", "FileNotFound"})) {
            return kServiceUnavailable;
        }
        if (isOneOf(name, {"NoReply", "Timeout", "TimedOut"})) {
            return kCallTimedOut;
        }
        if (isOneOf(name, {"UnknownObject", "UnknownInterface", "UnknownMethod"})) {
            return kObjectDisconnected;
        }
        if (name == "NoMemory") {
            return sdk::E_OUTOFMEMORY;
        }
        if (name == "AccessDenied") {
            return sdk::E_ACCESSDENIED;
        }
        return sdk::E_FAIL;
    }
    if (errorName.starts_with(kErrno)) {
        const std::string_view code = errorName.substr(kErrno.size());
        if (isOneOf(code, {"ENOTCONN", "ECONNRESET", "ECONNREFUSED", "ECONNABORTED", "ENOENT",
                           "EPIPE", "ESHUTDOWN", "EHOSTUNREACH", "ENXIO"})) {
            return kServiceUnavailable;
        }
        if (code == "ETIMEDOUT") {
            return kCallTimedOut;
        }
        if (code == "ENOMEM") {
            return sdk::E_OUTOFMEMORY;
        }
        if (code == "EACCES" || code == "EPERM") {
            return sdk::E_ACCESSDENIED;
        }
    }
    return sdk::E_FAIL;
}

}  // namespace qm::ipc
