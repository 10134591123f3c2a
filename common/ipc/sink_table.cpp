#include "common/ipc/sink_table.h"

#include <vector>

namespace qm::ipc {

SinkTable::SinkTable(std::shared_ptr<sdk::IQuillmereSDK> manager,
                     std::shared_ptr<NotificationOutbox> outbox)
    : manager_(std::move(manager)), outbox_(std::move(outbox)) {}

sdk::HRESULT SinkTable::advise(const std::string& client, const std::string& path) {
    std::shared_ptr<RemoteSinkProxy> proxy;
    {
        std::lock_guard guard(mutex_);
        Entry& entry = entries_[Key{client, path}];
        if (!entry.proxy) {
            entry.proxy = std::make_shared<RemoteSinkProxy>(client, path, outbox_);
        }
        proxy = entry.proxy;
    }
    const sdk::HRESULT hr = manager_->AdviceSink(proxy);
    std::lock_guard guard(mutex_);
    const auto it = entries_.find(Key{client, path});
    if (sdk::SUCCEEDED(hr)) {
        ++it->second.advised;
    } else if (it->second.advised == 0) {
        entries_.erase(it);
    }
    return hr;
}

sdk::HRESULT SinkTable::unadvise(const std::string& client, const std::string& path) {
    std::shared_ptr<RemoteSinkProxy> proxy;
    {
        std::lock_guard guard(mutex_);
        const auto it = entries_.find(Key{client, path});
        if (it != entries_.end()) {
            proxy = it->second.proxy;
        }
    }
    if (!proxy) {
        // Never advised: the manager still sees the call (and finds nothing), as it would
        // for a sink object it never got.
        return manager_->UnadviceSink(std::make_shared<RemoteSinkProxy>(client, path, outbox_));
    }
    const sdk::HRESULT hr = manager_->UnadviceSink(proxy);
    if (sdk::SUCCEEDED(hr)) {
        std::lock_guard guard(mutex_);
        const auto it = entries_.find(Key{client, path});
        if (--it->second.advised <= 0) {
            entries_.erase(it);
            outbox_->dropSink(client, path);
        }
    }
    return hr;
}

void SinkTable::clientLeft(const std::string& client) {
    std::vector<Entry> gone;
    {
        std::lock_guard guard(mutex_);
        for (auto it = entries_.lower_bound(Key{client, std::string()});
             it != entries_.end() && it->first.first == client;) {
            gone.push_back(std::move(it->second));
            it = entries_.erase(it);
        }
    }
    for (const Entry& entry : gone) {
        for (int i = 0; i < entry.advised; ++i) {
            manager_->UnadviceSink(entry.proxy);
        }
    }
}

std::size_t SinkTable::size() const {
    std::lock_guard guard(mutex_);
    return entries_.size();
}

}  // namespace qm::ipc
