#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm::ipc {

// Which bus to connect to: the system bus (the installed service), the user's session bus, or a
// bus at an explicit D-Bus address (a private bus of a test or the demo).
struct BusAddress {
    enum class Kind { System, Session, Explicit };

    Kind kind = Kind::System;
    std::string address;  // only for Kind::Explicit, e.g. "unix:path=/tmp/dbus-XYZ"

    static BusAddress system() { return {}; }
    static BusAddress session() { return {Kind::Session, {}}; }
    static BusAddress explicitAddress(std::string address) {
        return {Kind::Explicit, std::move(address)};
    }

    // "system", "session" (either case), or a D-Bus address (text with a ':'). Empty or other text
    // gives nothing.
    static std::optional<BusAddress> parse(std::string_view text);
    // The bus named by QM_DBUS_ADDRESS, when it is set and valid.
    static std::optional<BusAddress> fromEnvironment();
    // The bus a program uses: its explicit choice (a command-line option), otherwise
    // QM_DBUS_ADDRESS, otherwise the system bus.
    static BusAddress resolve(const std::optional<BusAddress>& explicitChoice);

    // "system", "session" or the address, for messages.
    std::string describe() const;

    friend bool operator==(const BusAddress&, const BusAddress&) = default;
};

}  // namespace qm::ipc
