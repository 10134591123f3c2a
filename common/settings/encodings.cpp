#include "common/settings/encodings.h"

namespace qm::settings {

std::uint8_t bandModeByte(int frequencyHz, int widthHz) {
    int widthCode = 0;
    switch (widthHz) {
        case 100:
            widthCode = 1;
            break;
        case 200:
            widthCode = 2;
            break;
        case 300:
            widthCode = 3;
            break;
        default:
            return 0;
    }
    if (frequencyHz < 500 || frequencyHz > 2500 || frequencyHz % 250 != 0) {
        return 0;
    }
    const int frequencyCode = (frequencyHz - 250) / 250;
    return static_cast<std::uint8_t>(widthCode * 16 + frequencyCode);
}

}  // namespace qm::settings
