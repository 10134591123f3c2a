#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace qm::studio {

// One entry of a ribbon drop-down list: its text and its integer item data.
struct ComboEntry {
    QString text;
    std::uint32_t data;
};

// "1 pixel 480" 480 ... "320 pixel 1" 1: samples per waveform pixel.
std::vector<ComboEntry> waveScaleEntries();
// "Rectangular" 0 ... "Gaussian (a=4.5)" 9.
std::vector<ComboEntry> windowFunctionEntries();
// "-20" 20, "-30" 30, ... "-200" 200.
std::vector<ComboEntry> spectrumBoundEntries();

// The entry whose data equals the value; the first entry when none does.
int entryIndexFor(const std::vector<ComboEntry>& entries, std::uint32_t value);

}  // namespace qm::studio
