#include "studio/audio/analysis_state.h"

#include <algorithm>
#include <cmath>

namespace qm::audio {

AnalysisState::AnalysisState() : captureBlock_(kBlockSize, 0.0), displayed_(kFftSize, 0.0) {}

void AnalysisState::submitBlock(std::span<const float, kBlockSize> samples) {
    std::lock_guard guard(mutex_);
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        const float s = samples[i];
        captureBlock_[i] = std::isfinite(s) ? static_cast<double>(s) : 0.0;
    }
    dataReady_ = true;
}

void AnalysisState::ResetAnalysis() {
    std::lock_guard guard(mutex_);
    std::fill(captureBlock_.begin(), captureBlock_.end(), 0.0);
    std::fill(displayed_.begin(), displayed_.end(), 0.0);
    waveform_.clear();
    ++generation_;
    dataReady_ = true;
}

bool AnalysisState::dataReady() const {
    std::lock_guard guard(mutex_);
    return dataReady_;
}

std::optional<std::uint64_t> AnalysisState::takeBlock(std::span<double, kBlockSize> out) {
    std::lock_guard guard(mutex_);
    if (!dataReady_) {
        return std::nullopt;
    }
    dataReady_ = false;
    std::copy(captureBlock_.begin(), captureBlock_.end(), out.begin());
    return generation_;
}

}  // namespace qm::audio
