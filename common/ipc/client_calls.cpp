#include "common/ipc/client_calls.h"

namespace qm::ipc {

bool ClientCalls::run(const std::string& client, std::function<void()> job) {
    {
        std::lock_guard guard(mutex_);
        ++clients_[client].running;
    }
    const bool queued = pool_.post([this, client, job = std::move(job)] {
        job();
        finished(client);
    });
    if (!queued) {
        finished(client);
    }
    return queued;
}

bool ClientCalls::clientLeft(const std::string& client) {
    std::lock_guard guard(mutex_);
    const auto it = clients_.find(client);
    if (it == clients_.end()) {
        return false;
    }
    if (it->second.running == 0) {
        clients_.erase(it);
    } else {
        it->second.left = true;
    }
    return true;
}

bool ClientCalls::hasLeft(const std::string& client) const {
    std::lock_guard guard(mutex_);
    const auto it = clients_.find(client);
    return it != clients_.end() && it->second.left;
}

void ClientCalls::finished(const std::string& client) {
    std::lock_guard guard(mutex_);
    const auto it = clients_.find(client);
    if (it != clients_.end() && --it->second.running == 0 && it->second.left) {
        clients_.erase(it);
    }
}

}  // namespace qm::ipc
