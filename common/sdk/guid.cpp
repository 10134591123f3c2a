#include "common/sdk/guid.h"

#include <cstdio>
#include <random>

#include "common/sdk/sha1.h"

namespace qm::sdk {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads exactly `digits` hexadecimal digits at `pos`.
bool readHex(std::string_view text, std::size_t pos, int digits, std::uint64_t& out) {
    out = 0;
    for (int i = 0; i < digits; ++i) {
        const int v = hexValue(text[pos + static_cast<std::size_t>(i)]);
        if (v < 0)
            return false;
        out = (out << 4) | static_cast<std::uint64_t>(v);
    }
    return true;
}

}  // namespace

std::string Guid::toBracedString() const {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%.8X-%.4X-%.4X-%.2X%.2X-%.2X%.2X%.2X%.2X%.2X%.2X}", data1,
                  data2, data3, data4[0], data4[1], data4[2], data4[3], data4[4], data4[5],
                  data4[6], data4[7]);
    return buf;
}

std::string Guid::toPlainString() const {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.8x-%.4x-%.4x-%.2x%.2x-%.2x%.2x%.2x%.2x%.2x%.2x", data1, data2,
                  data3, data4[0], data4[1], data4[2], data4[3], data4[4], data4[5], data4[6],
                  data4[7]);
    return buf;
}

std::optional<Guid> Guid::parseBraced(std::string_view text) {
    // {8-4-4-4-12}: 38 characters.
    if (text.size() != 38 || text.front() != '{' || text.back() != '}' || text[9] != '-' ||
        text[14] != '-' || text[19] != '-' || text[24] != '-') {
        return std::nullopt;
    }
    Guid g;
    std::uint64_t v = 0;
    if (!readHex(text, 1, 8, v))
        return std::nullopt;
    g.data1 = static_cast<std::uint32_t>(v);
    if (!readHex(text, 10, 4, v))
        return std::nullopt;
    g.data2 = static_cast<std::uint16_t>(v);
    if (!readHex(text, 15, 4, v))
        return std::nullopt;
    g.data3 = static_cast<std::uint16_t>(v);
    const std::size_t bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!readHex(text, bytePos[i], 2, v))
            return std::nullopt;
        g.data4[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v);
    }
    return g;
}

std::optional<Guid> Guid::parseContainerId(std::string_view text) {
    std::string braced;
    braced.reserve(text.size() + 2);
    braced.push_back('{');
    braced.append(text);
    braced.push_back('}');
    if (auto g = parseBraced(braced))
        return g;
    return parseBraced(text);
}

Guid Guid::random() {
    thread_local std::mt19937_64 engine{std::random_device{}()};
    const std::uint64_t hi = engine();
    const std::uint64_t lo = engine();
    Guid g;
    g.data1 = static_cast<std::uint32_t>(hi >> 32);
    g.data2 = static_cast<std::uint16_t>(hi >> 16);
    g.data3 = static_cast<std::uint16_t>((hi & 0x0FFF) | 0x4000);  // version 4
    for (int i = 0; i < 8; ++i) {
        g.data4[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(lo >> (56 - 8 * i));
    }
    g.data4[0] = static_cast<std::uint8_t>((g.data4[0] & 0x3F) | 0x80);  // variant 1
    return g;
}

Guid Guid::fromName(const Guid& space, std::string_view name) {
    // The namespace in network byte order, then the name.
    std::string input;
    input.reserve(16 + name.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        input.push_back(static_cast<char>(space.data1 >> shift));
    input.push_back(static_cast<char>(space.data2 >> 8));
    input.push_back(static_cast<char>(space.data2));
    input.push_back(static_cast<char>(space.data3 >> 8));
    input.push_back(static_cast<char>(space.data3));
    for (std::uint8_t b : space.data4)
        input.push_back(static_cast<char>(b));
    input.append(name);
    const Sha1Digest h = sha1(input);
    Guid g;
    g.data1 = (std::uint32_t{h[0]} << 24) | (std::uint32_t{h[1]} << 16) |
              (std::uint32_t{h[2]} << 8) | h[3];
    g.data2 = static_cast<std::uint16_t>((h[4] << 8) | h[5]);
    g.data3 = static_cast<std::uint16_t>((((h[6] << 8) | h[7]) & 0x0FFF) | 0x5000);  // version 5
    for (std::size_t i = 0; i < 8; ++i)
        g.data4[i] = h[8 + i];
    g.data4[0] = static_cast<std::uint8_t>((g.data4[0] & 0x3F) | 0x80);  // variant 1
    return g;
}

}  // namespace qm::sdk
