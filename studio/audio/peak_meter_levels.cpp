#include "studio/audio/peak_meter_levels.h"

#include <algorithm>
#include <cmath>

#include "studio/audio/level_scale.h"

namespace qm::audio {

float meterLevel(float peak) {
    const float d = 20.0F * std::log10(std::fabs(peak));
    return DbToPercent(d);
}

void PeakMeterLevels::show(float inputPeak, float outputPeak) {
    inputLevel = meterLevel(inputPeak);
    outputLevel = meterLevel(outputPeak);
    inputHold = std::max(inputHold, inputLevel);
    outputHold = std::max(outputHold, outputLevel);
}

void PeakMeterLevels::fall() {
    for (float* hold : {&inputHold, &outputHold}) {
        *hold -= kHoldFall;
        if (*hold <= 0.0F) {
            *hold = 0.0F;
        }
    }
}

}  // namespace qm::audio
