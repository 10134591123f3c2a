#include "service/com/runtime_options.h"

#include <algorithm>

#include "common/settings/models.h"
#include "common/text/text.h"

namespace qm::com {
namespace {

constexpr std::size_t kMaxSerialLength = 126;

bool isAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}
bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

// A value of an address entry: the characters D-Bus leaves unescaped, and %xx escapes.
bool isAddressValue(std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '%') {
            if (i + 2 >= value.size()) {
                return false;
            }
            if (!isHexDigit(value[i + 1]) || !isHexDigit(value[i + 2])) {
                return false;
            }
            i += 2;
            continue;
        }
        if (!isAlnum(c) && std::string_view("-_/.\\*").find(c) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

// transport:key=value,key=value (no parameters at all is allowed, as in "autolaunch:").
bool isAddressEntry(std::string_view entry) {
    const std::size_t colon = entry.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    for (char c : entry.substr(0, colon)) {
        if (!isAlnum(c) && c != '-' && c != '_') {
            return false;
        }
    }
    const std::string_view parameters = entry.substr(colon + 1);
    if (parameters.empty()) {
        return true;
    }
    for (std::string_view parameter : split(parameters, ',')) {
        const std::size_t equals = parameter.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            return false;
        }
        for (char c : parameter.substr(0, equals)) {
            if (!isAlnum(c) && c != '-' && c != '_') {
                return false;
            }
        }
        if (!isAddressValue(parameter.substr(equals + 1))) {
            return false;
        }
    }
    return true;
}

bool isSerialCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte < 0x7F && c != ',' && c != ':' && c != '/' && c != '\\';
}

std::string knownModels() {
    std::string list;
    for (std::string_view name : settings::kProductNames) {
        if (!list.empty()) {
            list += ", ";
        }
        list += name;
    }
    return list;
}

}  // namespace

std::optional<BusChoice> parseBusChoice(std::string_view text, std::string& error) {
    error.clear();
    if (text == "system") {
        return BusChoice{BusChoice::Kind::System, {}};
    }
    if (text == "session") {
        return BusChoice{BusChoice::Kind::Session, {}};
    }
    bool valid = !text.empty();
    if (valid) {
        for (std::string_view entry : split(text, ';')) {
            if (!isAddressEntry(entry)) {
                valid = false;
                break;
            }
        }
    }
    if (!valid) {
        error = "\"" + std::string(text) +
                "\" is not system, session or a D-Bus address such as "
                "unix:path=/run/dbus/system_bus_socket";
        return std::nullopt;
    }
    return BusChoice{BusChoice::Kind::Address, std::string(text)};
}

std::optional<std::vector<SimulatedMicrophone>> parseSimulateList(std::string_view text,
                                                                  std::string& error) {
    error.clear();
    if (text.empty()) {
        error = "needs a list of model:serial pairs such as Alder:SN1001,Cedar:SN1002";
        return std::nullopt;
    }
    std::vector<SimulatedMicrophone> microphones;
    for (std::string_view item : split(text, ',')) {
        const std::size_t colon = item.find(':');
        if (colon == std::string_view::npos) {
            error = "\"" + std::string(item) + "\" is not model:serial";
            return std::nullopt;
        }
        const std::string_view model = item.substr(0, colon);
        const std::string_view serial = item.substr(colon + 1);
        const settings::Model known = settings::modelFromProductName(model);
        if (known == settings::Model::Unknown) {
            error = "unknown model \"" + std::string(model) + "\" (known: " + knownModels() + ")";
            return std::nullopt;
        }
        bool serialValid = !serial.empty() && serial.size() <= kMaxSerialLength;
        for (char c : serial) {
            serialValid = serialValid && isSerialCharacter(c);
        }
        if (!serialValid) {
            error = "serial \"" + std::string(serial) +
                    "\" must be 1 to 126 printable ASCII characters other than , : / \\";
            return std::nullopt;
        }
        for (const SimulatedMicrophone& earlier : microphones) {
            if (text::asciiIEquals(earlier.serial, serial)) {
                error = "serial \"" + std::string(serial) + "\" is given twice";
                return std::nullopt;
            }
        }
        microphones.push_back({std::string(settings::productName(known)), std::string(serial)});
    }
    return microphones;
}

std::optional<std::string> parseSoundServer(std::string_view text, std::string& error) {
    error.clear();
    if (text == "default") {
        return std::string();
    }
    const bool printable = std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    if (text.empty() || !printable) {
        error = "\"" + std::string(text) + "\" is not default or a sound server address";
        return std::nullopt;
    }
    return std::string(text);
}

std::string describeBus(const BusChoice& bus) {
    switch (bus.kind) {
        case BusChoice::Kind::System:
            return "system";
        case BusChoice::Kind::Session:
            return "session";
        case BusChoice::Kind::Address:
            return bus.address;
    }
    return {};
}

}  // namespace qm::com
