#include "common/ipc/client.h"

#include "common/ipc/bus_connection.h"
#include "common/ipc/client_session.h"
#include "common/ipc/ipc_result.h"
#include "common/ipc/sdk_proxy.h"

namespace qm::ipc {

std::shared_ptr<sdk::IQuillmereSDK> connectToService(const ClientOptions& options,
                                                     sdk::HRESULT* result) {
    sdk::HRESULT hr = sdk::S_OK;
    std::shared_ptr<sdk::IQuillmereSDK> manager;
    try {
        auto session = ClientSession::open(options);
        if (options.verifyService) {
            hr = session->ping();
        }
        if (sdk::SUCCEEDED(hr)) {
            manager = std::make_shared<SdkProxy>(std::move(session));
        }
    } catch (const BusError&) {
        hr = kServiceUnavailable;
    } catch (const std::bad_alloc&) {
        hr = sdk::E_OUTOFMEMORY;
    } catch (const std::exception&) {
        hr = sdk::E_FAIL;
    }
    if (result != nullptr) {
        *result = hr;
    }
    return manager;
}

}  // namespace qm::ipc
