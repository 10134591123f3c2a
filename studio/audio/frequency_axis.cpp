#include "studio/audio/frequency_axis.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "studio/audio/analysis_sizes.h"

namespace qm::audio {
namespace {

constexpr double kPlotMargin = 30.0;  // pixels left of the first column and right of the last
constexpr double kLowestFrequency = 10.0;
constexpr double kHighestFrequency = 20'000.0;
constexpr int kDefaultSpectrumBound = 200;

}  // namespace

double decadeWidth(int right) {
    return (right - 60) / (3.0 * std::log(3.0));
}

double XToFreq(double x, int right) {
    const double d = decadeWidth(right);
    const double u = x - kPlotMargin;
    if (!(u >= 0.0 && u < 4.0 * d)) {
        return 0.0;
    }
    return kLowestFrequency * std::pow(10.0, u / d);
}

double FreqToX(double f, int right) {
    if (!(f >= kLowestFrequency && f < kHighestFrequency)) {
        return 0.0;
    }
    return kPlotMargin + decadeWidth(right) * std::log10(f / kLowestFrequency);
}

std::optional<std::size_t> binOfFrequency(double f) {
    const double position = f * static_cast<double>(kFftSize) / kSampleRate;
    if (!(position >= 0.0 && position < static_cast<double>(kFftSize))) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(position);
}

int effectiveSpectrumBound(int spectrumBound) {
    return spectrumBound > 0 && spectrumBound <= kMaxSpectrumBound ? spectrumBound
                                                                   : kDefaultSpectrumBound;
}

double pixelsPerDb(int top, int bottom, int spectrumBound) {
    return static_cast<double>((bottom - top) - 40) / effectiveSpectrumBound(spectrumBound);
}

double levelY(double power, double pixelsPerDb, int bottom) {
    const double floor = bottom - kPlotMargin;
    const float p = static_cast<float>(std::min(power, double{std::numeric_limits<float>::max()}));
    const double y = 10.0 + (40.0 - 10.0 * std::log10(p)) * pixelsPerDb;
    // A plot shorter than 40 pixels has a negative scale, which would turn the level of 0 into
    // minus infinity: every row that is not finite lands on the floor too.
    return std::isfinite(y) && y <= floor ? y : floor;
}

}  // namespace qm::audio
