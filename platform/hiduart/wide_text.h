#pragma once

#include <string>
#include <string_view>

namespace qm::hiduart {

// UTF-8 form of a wide string as the C library holds it on Linux (one UTF-32 code point per
// wchar_t), as hidapi returns USB string descriptors. Values that are no Unicode scalar value
// (surrogates, above U+10FFFF) become U+FFFD.
std::string utf8FromWide(std::wstring_view wide);

}  // namespace qm::hiduart
