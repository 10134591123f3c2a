#pragma once

#include <string>
#include <string_view>

namespace qm::ipc {

// A string as D-Bus can carry it: D-Bus strings are valid UTF-8 without NUL characters. Valid
// text passes unchanged; an invalid byte sequence becomes U+FFFD (as every other UTF-8 decoder of
// the system does) and the text ends at the first NUL (as a C string would), instead of the whole
// call failing.
std::string toWireText(std::string_view text);

}  // namespace qm::ipc
