#include "common/ipc/bus_address.h"

#include <cstdlib>

#include "common/ipc/bus_names.h"
#include "common/text/text.h"

namespace qm::ipc {

std::optional<BusAddress> BusAddress::parse(std::string_view text) {
    if (text::asciiIEquals(text, "system")) {
        return system();
    }
    if (text::asciiIEquals(text, "session")) {
        return session();
    }
    if (text.find(':') != std::string_view::npos) {
        return explicitAddress(std::string(text));
    }
    return std::nullopt;
}

std::optional<BusAddress> BusAddress::fromEnvironment() {
    const char* value = std::getenv(kBusAddressEnvironment);  // NOLINT(concurrency-mt-unsafe)
    if (value == nullptr) {
        return std::nullopt;
    }
    return parse(value);
}

BusAddress BusAddress::resolve(const std::optional<BusAddress>& explicitChoice) {
    if (explicitChoice) {
        return *explicitChoice;
    }
    return fromEnvironment().value_or(system());
}

std::string BusAddress::describe() const {
    switch (kind) {
        case Kind::System:
            return "system";
        case Kind::Session:
            return "session";
        case Kind::Explicit:
            return address;
    }
    return address;
}

}  // namespace qm::ipc
