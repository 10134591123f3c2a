#pragma once

#include <chrono>
#include <cstddef>

// Fixed sizes of the audio analysis: the capture rate, the block that capture hands over every
// 10 ms, the transform length and the history depths. Every array of the analysis is sized from
// these once and never resized.
namespace qm::audio {

inline constexpr int kSampleRate = 48'000;               // frames per second of the capture
inline constexpr std::size_t kBlockSize = 480;           // samples per hand-off (10 ms)
inline constexpr std::size_t kSampleHistoryBlocks = 10;  // blocks kept for the transform
inline constexpr std::size_t kSampleHistorySize = kBlockSize * kSampleHistoryBlocks;
inline constexpr std::size_t kFftSize = 4096;             // points of the transform
inline constexpr std::size_t kFftStages = 12;             // log2(kFftSize)
inline constexpr std::size_t kSpectrumHistoryDepth = 10;  // power spectra kept
inline constexpr std::size_t kViewSpan = 8;               // spectra that min / max / middle cover
inline constexpr std::size_t kWaveformColumns = 4800;     // waveform history entries

// The analysis timer: first due 1 ms after start, then every 10 ms.
inline constexpr std::chrono::milliseconds kAnalysisFirstDue{1};
inline constexpr std::chrono::milliseconds kAnalysisPeriod{10};

static_assert(kFftSize == std::size_t{1} << kFftStages);
static_assert(kFftSize <= kSampleHistorySize, "the transform reads the newest samples only");
static_assert(kViewSpan <= kSpectrumHistoryDepth);

}  // namespace qm::audio
