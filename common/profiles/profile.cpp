#include "common/profiles/profile.h"

#include <climits>

#include "common/settings/setting_table.h"
#include "common/text/text.h"

namespace qm::profiles {
namespace {

void appendString(std::vector<std::uint8_t>& out, std::string_view utf8) {
    const std::u16string wide = text::toUtf16(utf8);
    const auto count = static_cast<std::uint32_t>(wide.size());
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(count >> shift));
    for (const char16_t unit : wide) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
}

}  // namespace

std::vector<std::uint8_t> CProfile::serialize() const {
    std::vector<std::uint8_t> out;
    for (const std::string* field : {&path, &id, &name, &description, &serial, &model})
        appendString(out, *field);
    for (const std::string& text : values)
        appendString(out, text);
    return out;
}

std::string_view profileAttribute(settings::Setting s) {
    if (s == settings::Setting::ALC_VOLUME)
        return "ALC_VOLUME";
    return settings::settingInfo(s).xmlAttribute;
}

std::uint8_t settingByte(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            break;  // saturated: the rest cannot bring it back into range
    }
    long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(static_cast<int>(value)) & 0xFFu);
}

}  // namespace qm::profiles
