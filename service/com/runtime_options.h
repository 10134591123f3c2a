#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How the running server is to be set up: which bus it serves on and whether it serves virtual
// microphones. Given on the command line as long options (see command_line.h) and handed to the
// server runtime.
namespace qm::com {

struct BusChoice {
    enum class Kind { System, Session, Address };
    Kind kind = Kind::System;
    std::string address;  // for Kind::Address: a D-Bus address such as "unix:path=/tmp/bus"

    friend bool operator==(const BusChoice&, const BusChoice&) = default;
};

struct SimulatedMicrophone {
    std::string model;   // a product name as the models list spells it ("Alder", ...)
    std::string serial;  // the bridge's serial number

    friend bool operator==(const SimulatedMicrophone&, const SimulatedMicrophone&) = default;
};

struct RuntimeOptions {
    BusChoice bus;
    // Virtual microphones to serve instead of real ones; empty for real microphones.
    std::vector<SimulatedMicrophone> simulate;
    // With virtual microphones: the sound server that carries their sound (empty: the user's
    // own server); nothing for no sound.
    std::optional<std::string> sound;
    // A file to record the real bridges' traffic to; empty for none.
    std::string record;
    // A recording whose bridges are served instead of real ones; empty for none.
    std::string replay;

    friend bool operator==(const RuntimeOptions&, const RuntimeOptions&) = default;
};

// The environment variable that chooses the bus when the command line doesn't.
inline constexpr const char* kBusEnvironmentVariable = "QM_DBUS_ADDRESS";

// "system", "session" (exact, lower case) or a D-Bus address: one or more
// "transport:key=value,..." entries separated by ';'. On failure `error` holds a line for the
// user and nothing is returned.
std::optional<BusChoice> parseBusChoice(std::string_view text, std::string& error);

// "Alder:SN1001,Cedar:SN1002": model:serial pairs separated by commas. The model is a known
// product name (ASCII case-insensitive, returned in its canonical spelling); the serial is 1 to
// 126 printable ASCII characters other than ',', ':', '/' and '\' (it names a registry key and a
// log file), and no serial may appear twice (compared without regard to ASCII case, as registry
// keys are). On failure `error` holds a line for the user and nothing is returned.
std::optional<std::vector<SimulatedMicrophone>> parseSimulateList(std::string_view text,
                                                                  std::string& error);

// "default" (the user's own sound server, given back as an empty string) or the address of a
// sound server as PULSE_SERVER takes it ("unix:/run/user/1000/pulse/native", "tcp:host:4713").
// On failure `error` holds a line for the user and nothing is returned.
std::optional<std::string> parseSoundServer(std::string_view text, std::string& error);

// A bus choice as text, the way parseBusChoice reads it back.
std::string describeBus(const BusChoice& bus);

}  // namespace qm::com
