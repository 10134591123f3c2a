#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/sdk/interfaces.h"

namespace sdbus {
class IConnection;
class IObject;
}  // namespace sdbus

namespace qm::ipc {

// The client's sinks exported on its connection. A sink object gets one path for as long as it
// is advised, however often; it is exported before the first AdviceSink reaches the service and
// withdrawn (and released) after the last successful UnadviceSink.
//
// The table's lock is never held while calling into the connection: the event loop holds the
// connection while it runs a sink, and a sink may advise or unadvise.
class SinkExportTable {
  public:
    // `onLoopThread` tells whether the caller runs on the connection's event loop.
    SinkExportTable(sdbus::IConnection& connection, std::function<bool()> onLoopThread);
    SinkExportTable(const SinkExportTable&) = delete;
    SinkExportTable& operator=(const SinkExportTable&) = delete;
    ~SinkExportTable();

    // The sink's path, exporting it first if needed; one advise is then in progress.
    // Throws when the object cannot be exported.
    std::string beginAdvise(const std::shared_ptr<sdk::IDeviceNotify>& sink);
    void endAdvise(const sdk::IDeviceNotify* sink, bool advised);
    // The sink's path when it is advised (one unadvise is then in progress), otherwise nothing.
    std::optional<std::string> beginUnadvise(const sdk::IDeviceNotify* sink);
    void endUnadvise(const sdk::IDeviceNotify* sink, bool unadvised);

    // Sinks exported now.
    std::size_t size() const;

  private:
    // What an exported object calls; emptied when the sink is withdrawn.
    class Target;
    struct Entry {
        std::shared_ptr<Target> target;
        std::unique_ptr<sdbus::IObject> object;
        std::string path;
        int advised = 0;
        int inProgress = 0;
    };

    std::unique_ptr<sdbus::IObject> exportObject(const std::string& path,
                                                 const std::shared_ptr<Target>& target);
    // Called with the lock held: takes the entry out when nothing keeps it.
    std::optional<Entry> takeIfUnused(const sdk::IDeviceNotify* sink);
    void withdraw(std::optional<Entry> entry);

    sdbus::IConnection& connection_;
    const std::function<bool()> onLoopThread_;
    mutable std::mutex mutex_;
    std::map<const sdk::IDeviceNotify*, Entry> entries_;
    // Objects withdrawn on the event loop, possibly from inside their own call: destroyed
    // later, off the loop.
    std::vector<std::unique_ptr<sdbus::IObject>> retired_;
    unsigned long long nextNumber_ = 1;
};

}  // namespace qm::ipc
