#include "service/com/not_wired_runtime.h"

namespace qm::com {

NotWiredRuntime::NotWiredRuntime(const RuntimeContext& context)
    : errors_(context.errors), options_(context.options) {}

sdk::HRESULT NotWiredRuntime::registerClassObjects() {
    errors_ << "qmMicHost: no D-Bus server is attached to this build, so there is nothing to "
               "serve on the "
            << describeBus(options_.bus) << " bus";
    if (!options_.simulate.empty()) {
        errors_ << " (virtual microphones asked for:";
        for (const SimulatedMicrophone& microphone : options_.simulate) {
            errors_ << ' ' << microphone.model << ':' << microphone.serial;
        }
        errors_ << ')';
    }
    errors_ << '\n';
    return sdk::E_NOTIMPL;
}

std::shared_ptr<sdk::IQuillmereSDK> NotWiredRuntime::createDeviceManager() {
    return nullptr;
}

bool NotWiredRuntime::registerEndpointNotifications(
    const std::shared_ptr<sdk::IQuillmereSDK>& /*manager*/) {
    return false;
}

void NotWiredRuntime::revokeClassObjects() {}

}  // namespace qm::com
