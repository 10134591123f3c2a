#include "tools/qmctl/result_text.h"

#include "common/ipc/ipc_result.h"
#include "common/text/text.h"
#include "tools/qmctl/exit_codes.h"

namespace qm::qmctl {

std::string resultHex(sdk::HRESULT hr) {
    return text::format("0x%08X", static_cast<unsigned>(hr));
}

std::string resultName(sdk::HRESULT hr) {
    switch (hr) {
        case sdk::S_OK:
            return "S_OK";
        case sdk::S_FALSE:
            return "S_FALSE";
        case sdk::E_NOTIMPL:
            return "E_NOTIMPL";
        case sdk::E_NOINTERFACE:
            return "E_NOINTERFACE";
        case sdk::E_POINTER:
            return "E_POINTER";
        case sdk::E_ABORT:
            return "E_ABORT";
        case sdk::E_FAIL:
            return "E_FAIL";
        case sdk::E_UNEXPECTED:
            return "E_UNEXPECTED";
        case sdk::E_ACCESSDENIED:
            return "E_ACCESSDENIED";
        case sdk::E_OUTOFMEMORY:
            return "E_OUTOFMEMORY";
        case sdk::E_INVALIDARG:
            return "E_INVALIDARG";
        case ipc::kServiceUnavailable:
            return "RPC_S_SERVER_UNAVAILABLE";
        case ipc::kCallTimedOut:
            return "ERROR_TIMEOUT";
        case ipc::kObjectDisconnected:
            return "RPC_E_DISCONNECTED";
        default:
            return resultHex(hr);
    }
}

std::string resultText(sdk::HRESULT hr) {
    std::string name = resultName(hr);
    if (hr == sdk::S_OK || hr == sdk::S_FALSE || name == resultHex(hr))
        return name;
    return name + " (" + resultHex(hr) + ")";
}

bool isTransportFailure(sdk::HRESULT hr) {
    return hr == ipc::kServiceUnavailable || hr == ipc::kCallTimedOut ||
           hr == ipc::kObjectDisconnected;
}

int exitCodeForFailure(sdk::HRESULT hr) {
    return hr == ipc::kServiceUnavailable ? kExitServiceUnavailable : kExitCallFailed;
}

}  // namespace qm::qmctl
