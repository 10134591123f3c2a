#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm::sdk {

// A 128-bit identifier in the platform's field layout (container ids, class ids, profile ids).
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    friend bool operator==(const Guid&, const Guid&) = default;
    bool isNull() const { return *this == Guid{}; }

    // "{4A7D0C11-1234-5678-9000-0ECE8AC9E862}": braced, upper-case hexadecimal.
    std::string toBracedString() const;
    // "4a7d0c11-1234-5678-9000-0ece8ac9e862": the
    // "%.8x-%.4x-%.4x-%.2x%.2x-%.2x%.2x%.2x%.2x%.2x%.2x" form used in log lines and profile
    // identifiers (lower case, no braces).
    std::string toPlainString() const;

    // Parses the braced form (hexadecimal digits in either case). Anything else gives nothing.
    static std::optional<Guid> parseBraced(std::string_view text);
    // Parses a container id as stored by the platform: first wrapped in braces, and if that
    // fails, the text alone (so both "xxxxxxxx-…" and "{xxxxxxxx-…}" are accepted).
    static std::optional<Guid> parseContainerId(std::string_view text);
    // A new random identifier (version 4).
    static Guid random();
    // A name-based identifier (version 5, SHA-1) of `name` within `space`: the same name always
    // gives the same identifier.
    static Guid fromName(const Guid& space, std::string_view name);
};

}  // namespace qm::sdk
