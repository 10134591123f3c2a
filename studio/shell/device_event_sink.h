#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "common/sdk/interfaces.h"

class QObject;

namespace qm::studio {

// The notification sink the studio advises to the service. Its calls arrive on the binding's
// thread; it only posts each notification to the main thread, where the handler runs. States
// outside -1 to 4 are ignored. Once detached it posts nothing more.
class CDeviceEventSink final : public sdk::IDeviceNotify {
  public:
    // Runs on the main thread with the sink's number, the state and the serial number.
    using Handler = std::function<void(std::uint64_t sink, int state, const std::string& serial)>;

    // `context` is the main-thread object whose event queue carries the notifications.
    CDeviceEventSink(QObject* context, Handler handler, std::uint64_t number);

    sdk::HRESULT OnDeviceNotify(const std::string& bstrSN, int nState) override;

    void detach();
    std::uint64_t number() const { return number_; }

  private:
    std::mutex mutex_;
    QObject* context_;
    Handler handler_;
    const std::uint64_t number_;
};

}  // namespace qm::studio
