#pragma once

#include <functional>
#include <memory>
#include <ostream>

#include "common/runtime/clock.h"
#include "common/sdk/hresult.h"
#include "common/sdk/interfaces.h"
#include "platform/registry/store.h"
#include "service/com/runtime_options.h"

namespace qm::com {

// What the service module runs: the server's connection to its clients and the device manager it
// serves. CServiceModule::Run calls it in this order:
//   registerClassObjects  -> (RUNNING is reported) -> createDeviceManager
//   -> registerEndpointNotifications (only when a manager was created)
//   -> ... the message loop until the stop ... -> revokeClassObjects -> destruction.
// All calls come from the thread that runs the service.
class ServerRuntime {
  public:
    // Closes the connection to the clients (the last step of a run).
    virtual ~ServerRuntime() = default;

    // Connects to the bus, owns the service's name and exports the class objects (the device
    // manager's factory and the others), so clients can reach them. A failure ends the run.
    virtual sdk::HRESULT registerClassObjects() = 0;
    // Creates the device manager, which starts following the microphones at once; every client
    // gets this same object. Null when it can't be created: the server then runs without one.
    virtual std::shared_ptr<sdk::IQuillmereSDK> createDeviceManager() = 0;
    // Starts passing audio endpoint arrivals and state changes to the manager. False on failure.
    virtual bool registerEndpointNotifications(
        const std::shared_ptr<sdk::IQuillmereSDK>& manager) = 0;
    // Withdraws the class objects so that no new client reaches them.
    virtual void revokeClassObjects() = 0;
};

// What a runtime is made from: the options of the command line and the process's shared parts.
struct RuntimeContext {
    const RuntimeOptions& options;
    registry::Store& store;
    Clock& clock;
    std::ostream& errors;  // standard error of the process
};

// Makes the runtime for one run; null when it can't be made (the run then fails with E_FAIL).
using ServerRuntimeFactory =
    std::function<std::unique_ptr<ServerRuntime>(const RuntimeContext& context)>;

}  // namespace qm::com
