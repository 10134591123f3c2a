#include "studio/audio/audio_analysis.h"

namespace qm::audio {

AudioAnalysis::AudioAnalysis(Clock& clock, const AnalysisSettings& initial)
    : settings_(initial), thread_(state_, settings_, clock) {}

}  // namespace qm::audio
