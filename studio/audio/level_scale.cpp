#include "studio/audio/level_scale.h"

namespace qm::audio {

float DbToPercent(float v) {
    if (v >= -20.0F && v <= 0.0F) {
        return (v + 40.0F) / 0.4F;
    }
    if (v >= -30.0F && v < -20.0F) {
        return (v + 45.0F) * 2.0F;
    }
    if (v >= -40.0F && v < -30.0F) {
        return (v + 50.0F) / 0.6666667F;
    }
    if (v >= -50.0F && v < -40.0F) {
        return (v + 58.75F) / 1.25F;
    }
    if (v > -62.0F && v < -50.0F) {
        return (v + 70.0F) / 2.857143F;
    }
    if (v >= -110.0F && v < -62.0F) {
        return 1.5F;
    }
    return 0.0F;  // above 0, exactly -62, below -110, NaN
}

}  // namespace qm::audio
