#include "studio/shell/device_event_sink.h"

#include <QMetaObject>
#include <QObject>

#include "common/sdk/identifiers.h"

namespace qm::studio {

CDeviceEventSink::CDeviceEventSink(QObject* context, Handler handler, std::uint64_t number)
    : context_(context), handler_(std::move(handler)), number_(number) {}

sdk::HRESULT CDeviceEventSink::OnDeviceNotify(const std::string& bstrSN, int nState) {
    if (nState < sdk::QM_NOTIFY_SERVICE_RELEASE || nState > sdk::QM_NOTIFY_PROFILE_FAILED) {
        return sdk::S_OK;
    }
    std::lock_guard guard(mutex_);
    if (context_ == nullptr) {
        return sdk::S_OK;
    }
    QMetaObject::invokeMethod(
        context_,
        [handler = handler_, number = number_, state = nState, serial = bstrSN] {
            handler(number, state, serial);
        },
        Qt::QueuedConnection);
    return sdk::S_OK;
}

void CDeviceEventSink::detach() {
    std::lock_guard guard(mutex_);
    context_ = nullptr;
}

}  // namespace qm::studio
