#include "tools/qmctl/watch.h"

#include "common/ipc/ipc_result.h"
#include "common/sdk/identifiers.h"
#include "tools/qmctl/exit_codes.h"
#include "tools/qmctl/report_format.h"
#include "tools/qmctl/result_text.h"

namespace qm::qmctl {

sdk::HRESULT QueueingSink::OnDeviceNotify(const std::string& bstrSN, int nState) {
    queue_.post(WatchEvent::notification(bstrSN, nState));
    return sdk::S_OK;
}

int runWatch(sdk::IQuillmereSDK& manager, WatchQueue& queue, Clock& clock,
             const WatchOptions& options, std::ostream& out, std::ostream& err) {
    const auto sink = std::make_shared<QueueingSink>(queue);
    const sdk::HRESULT advised = manager.AdviceSink(sink);
    if (sdk::FAILED(advised)) {
        err << "qmctl: the service did not take the notification sink: " << resultText(advised)
            << '\n';
        return exitCodeForFailure(advised);
    }
    err << "qmctl: watching the service's notifications; Ctrl-C ends" << std::endl;

    int exitCode = kExitOk;
    bool serviceGone = false;
    TimePoint nextCheck = clock.now() + options.livenessInterval;
    for (bool watching = true; watching;) {
        const auto event = queue.waitUntil(nextCheck);
        if (!event) {
            const sdk::HRESULT alive = manager.IsInitialize();
            if (alive == ipc::kServiceUnavailable) {
                err << "qmctl: the service left the bus without a release notification\n";
                exitCode = kExitServiceUnavailable;
                serviceGone = true;
                break;
            }
            nextCheck = clock.now() + options.livenessInterval;
            continue;
        }
        if (event->kind == WatchEvent::Kind::Stop)
            break;
        out << (options.json ? notificationJson(event->serial, event->state)
                             : notificationText(event->serial, event->state))
            << std::flush;
        watching = event->state != sdk::QM_NOTIFY_SERVICE_RELEASE;
    }
    // A service that is stopping may not answer any more.
    if (!serviceGone)
        static_cast<void>(manager.UnadviceSink(sink));
    return exitCode;
}

}  // namespace qm::qmctl
