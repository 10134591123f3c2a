#include "common/ipc/wire_text.h"

#include "common/text/text.h"

namespace qm::ipc {

std::string toWireText(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    bool ascii = true;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return std::string(text);
    }
    return text::toUtf8(text::toUtf16(text));
}

}  // namespace qm::ipc
