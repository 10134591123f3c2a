#include "studio/shell/combo_entries.h"

#include "studio/shell/string_table.h"

namespace qm::studio {

std::vector<ComboEntry> waveScaleEntries() {
    constexpr std::uint32_t kValues[] = {480, 240, 120, 60, 24, 12, 6, 3, 1};
    std::vector<ComboEntry> entries;
    int stringId = 3506;
    for (const std::uint32_t value : kValues) {
        entries.push_back({loadString(stringId++), value});
    }
    return entries;
}

std::vector<ComboEntry> windowFunctionEntries() {
    std::vector<ComboEntry> entries;
    for (std::uint32_t index = 0; index < 10; ++index) {
        entries.push_back({loadString(3520 + static_cast<int>(index)), index});
    }
    return entries;
}

std::vector<ComboEntry> spectrumBoundEntries() {
    std::vector<ComboEntry> entries;
    for (std::uint32_t bound = 20; bound <= 200; bound += 10) {
        entries.push_back({QString::asprintf("-%d", static_cast<int>(bound)), bound});
    }
    return entries;
}

int entryIndexFor(const std::vector<ComboEntry>& entries, std::uint32_t value) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].data == value) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

}  // namespace qm::studio
