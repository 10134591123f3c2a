#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/settings/device_settings.h"

namespace qm::profiles {

// The in-memory record of one profile file: its path, the three attributes of "Profile" and
// the attributes of its "Device" element, all as the text the file holds. Values become
// numbers only when the profile is applied.
struct CProfile {
    std::string path;
    std::string id;           // "ProfileID"
    std::string name;         // "ProfileName"
    std::string description;  // "ProfileDesc"
    std::string serial;       // "SN" of the microphone it was saved from
    std::string model;        // "Name": the product string of that microphone
    std::array<std::string, settings::kSettingCount> values;  // by setting

    const std::string& value(settings::Setting s) const { return values[settings::indexOf(s)]; }
    std::string& value(settings::Setting s) { return values[settings::indexOf(s)]; }

    // The 31 strings in field order (path, the three profile attributes, "SN", "Name", the 25
    // values), each as a 32-bit little-endian count of UTF-16 code units followed by the
    // UTF-16LE text.
    std::vector<std::uint8_t> serialize() const;

    friend bool operator==(const CProfile&, const CProfile&) = default;
};

// The attribute of a setting in a profile's "Device" element: the device description's name
// ("DspVolume", "DirZoom", ...), and "ALC_VOLUME" for the level the description never carries.
std::string_view profileAttribute(settings::Setting s);

// A profile value as the byte that is sent: a signed decimal number (leading blanks skipped,
// conversion stops at the first character that is not a digit, no digits give 0; beyond the
// 32-bit range the nearest end), of which the low 8 bits are kept.
std::uint8_t settingByte(std::string_view text);

}  // namespace qm::profiles
