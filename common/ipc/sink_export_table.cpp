#include "common/ipc/sink_export_table.h"

#include <sdbus-c++/sdbus-c++.h>

#include "common/ipc/bus_names.h"

namespace qm::ipc {

class SinkExportTable::Target {
  public:
    explicit Target(std::shared_ptr<sdk::IDeviceNotify> sink) : sink_(std::move(sink)) {}

    std::shared_ptr<sdk::IDeviceNotify> sink() const {
        std::lock_guard guard(mutex_);
        return sink_;
    }
    // Takes the sink out; the caller drops it outside every lock (it may be the last reference).
    std::shared_ptr<sdk::IDeviceNotify> release() {
        std::lock_guard guard(mutex_);
        return std::move(sink_);
    }

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<sdk::IDeviceNotify> sink_;
};

SinkExportTable::SinkExportTable(sdbus::IConnection& connection, std::function<bool()> onLoopThread)
    : connection_(connection), onLoopThread_(std::move(onLoopThread)) {}

SinkExportTable::~SinkExportTable() = default;

std::string SinkExportTable::beginAdvise(const std::shared_ptr<sdk::IDeviceNotify>& sink) {
    std::string path;
    {
        std::lock_guard guard(mutex_);
        const auto it = entries_.find(sink.get());
        if (it != entries_.end()) {
            ++it->second.inProgress;
            return it->second.path;
        }
        path = clientSinkPath(nextNumber_++);
    }
    auto target = std::make_shared<Target>(sink);
    auto object = exportObject(path, target);
    std::unique_ptr<sdbus::IObject> spare;
    {
        std::lock_guard guard(mutex_);
        const auto it = entries_.find(sink.get());
        if (it != entries_.end()) {
            // Another thread exported the same sink meanwhile: use its export.
            ++it->second.inProgress;
            path = it->second.path;
            spare = std::move(object);
        } else {
            entries_.emplace(sink.get(), Entry{target, std::move(object), path, 0, 1});
        }
    }
    if (spare) {
        withdraw(Entry{target, std::move(spare), path, 0, 0});
    }
    return path;
}

void SinkExportTable::endAdvise(const sdk::IDeviceNotify* sink, bool advised) {
    std::optional<Entry> unused;
    {
        std::lock_guard guard(mutex_);
        const auto it = entries_.find(sink);
        if (it == entries_.end()) {
            return;
        }
        --it->second.inProgress;
        if (advised) {
            ++it->second.advised;
        }
        unused = takeIfUnused(sink);
    }
    withdraw(std::move(unused));
}

std::optional<std::string> SinkExportTable::beginUnadvise(const sdk::IDeviceNotify* sink) {
    std::lock_guard guard(mutex_);
    const auto it = entries_.find(sink);
    if (it == entries_.end() || it->second.advised == 0) {
        return std::nullopt;
    }
    ++it->second.inProgress;
    return it->second.path;
}

void SinkExportTable::endUnadvise(const sdk::IDeviceNotify* sink, bool unadvised) {
    std::optional<Entry> unused;
    {
        std::lock_guard guard(mutex_);
        const auto it = entries_.find(sink);
        if (it == entries_.end()) {
            return;
        }
        --it->second.inProgress;
        if (unadvised && it->second.advised > 0) {
            --it->second.advised;
        }
        unused = takeIfUnused(sink);
    }
    withdraw(std::move(unused));
}

std::size_t SinkExportTable::size() const {
    std::lock_guard guard(mutex_);
    return entries_.size();
}

std::unique_ptr<sdbus::IObject> SinkExportTable::exportObject(
    const std::string& path, const std::shared_ptr<Target>& target) {
    auto object = sdbus::createObject(connection_, path);
    object->registerMethod("OnDeviceNotify")
        .onInterface(kDeviceNotifyInterface)
        .withInputParamNames("bstrSN", "nState")
        .withOutputParamNames("hr")
        .implementedAs([target](const std::string& serial, std::int32_t state) -> std::int32_t {
            const std::shared_ptr<sdk::IDeviceNotify> sink = target->sink();
            if (!sink) {
                throw sdbus::Error("org.freedesktop.DBus.Error.UnknownObject",
                                   "the sink is no longer advised");
            }
            try {
                return sink->OnDeviceNotify(serial, state);
            } catch (const std::exception&) {
                return sdk::E_FAIL;
            }
        });
    object->finishRegistration();
    return object;
}

std::optional<SinkExportTable::Entry> SinkExportTable::takeIfUnused(
    const sdk::IDeviceNotify* sink) {
    const auto it = entries_.find(sink);
    if (it == entries_.end() || it->second.advised > 0 || it->second.inProgress > 0) {
        return std::nullopt;
    }
    Entry entry = std::move(it->second);
    entries_.erase(it);
    return entry;
}

void SinkExportTable::withdraw(std::optional<Entry> entry) {
    // Release the client's sink now, as the service released it.
    std::shared_ptr<sdk::IDeviceNotify> released;
    if (entry) {
        released = entry->target->release();
    }
    std::vector<std::unique_ptr<sdbus::IObject>> doomed;
    {
        std::lock_guard guard(mutex_);
        if (entry) {
            // On the loop the object may be running this very sink's call: only retire it.
            retired_.push_back(std::move(entry->object));
        }
        if (!onLoopThread_()) {
            doomed.swap(retired_);
        }
    }
    doomed.clear();
}

}  // namespace qm::ipc
