#include "support/private_bus.h"

#include <unistd.h>

#include <stdexcept>
#include <string_view>

namespace qm::testing {

PrivateBus::PrivateBus(std::chrono::milliseconds startTimeout) {
    // The daemon's complaints (it cannot raise its file limit in a container) are noise here; a
    // daemon that does not start shows as a missing address.
    daemon_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--nopidfile",
                                 "--print-address=1"},
        ChildProcess::Errors::Discarded);
    const auto line = daemon_->readLine(startTimeout);
    if (!line || line->empty()) {
        daemon_.reset();
        throw std::runtime_error("PrivateBus: dbus-daemon did not report its address");
    }
    address_ = *line;
}

PrivateBus::~PrivateBus() = default;

void PrivateBus::kill() {
    if (!daemon_ || !daemon_->running()) {
        return;
    }
    daemon_->kill();
    // A killed daemon leaves its socket file behind ("unix:path=<file>,guid=...").
    constexpr std::string_view kPathKey = "unix:path=";
    if (address_.starts_with(kPathKey)) {
        const std::string path =
            address_.substr(kPathKey.size(), address_.find(',') - kPathKey.size());
        ::unlink(path.c_str());
    }
}

}  // namespace qm::testing
