#include "platform/hiduart/wide_text.h"

#include <bit>
#include <cstdint>

namespace qm::hiduart {
namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

bool isScalarValue(std::uint32_t c) {
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::string utf8FromWide(std::wstring_view wide) {
    static_assert(sizeof(wchar_t) == 4, "wide strings are expected to hold UTF-32");
    std::string out;
    out.reserve(wide.size());
    for (const wchar_t w : wide) {
        const auto c = std::bit_cast<std::uint32_t>(w);  // negative values become invalid
        appendUtf8(out, isScalarValue(c) ? c : kReplacement);
    }
    return out;
}

}  // namespace qm::hiduart
