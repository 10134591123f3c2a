#include "common/settings/level_labels.h"

#include "common/text/text.h"

namespace qm::settings {
namespace {

struct ScaleInfo {
    int reference;
    float step;
    bool attenuation;
};

ScaleInfo infoOf(LevelScale scale) {
    switch (scale) {
        case LevelScale::DspVolume:
            return {145, 0.375f, false};
        case LevelScale::DirectionVolume:
            return {16, 1.0f, true};
        case LevelScale::OutputVolume:
            return {24, 0.5f, true};
    }
    return {145, 0.375f, false};
}

}  // namespace

std::string levelLabel(LevelScale scale, std::uint8_t code) {
    const ScaleInfo info = infoOf(scale);
    const int distance = static_cast<int>(code) - info.reference;
    if (distance == 0) {
        return "0 dB";
    }
    const bool louder = (distance > 0) != info.attenuation;
    const int magnitude = distance > 0 ? distance : -distance;
    const float decibels = static_cast<float>(magnitude) * info.step;
    return text::format(louder ? "+ %.01lf dB" : "- %.01lf dB", static_cast<double>(decibels));
}

}  // namespace qm::settings
