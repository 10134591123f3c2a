#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace qm::studio::panels {

// The host's tabs in creation order; the index is the bit of the panel mask.
enum class PanelTab : std::uint8_t { Alc, Filters, Equalizer, Direction, OutputVolume, InputGain };

inline constexpr std::array<PanelTab, 6> kPanelTabs = {PanelTab::Alc,          PanelTab::Filters,
                                                       PanelTab::Equalizer,    PanelTab::Direction,
                                                       PanelTab::OutputVolume, PanelTab::InputGain};

constexpr int tabIndex(PanelTab tab) {
    return static_cast<int>(tab);
}
constexpr std::uint32_t tabBit(PanelTab tab) {
    return 1u << tabIndex(tab);
}
constexpr bool hasTab(std::uint32_t mask, PanelTab tab) {
    return (mask & tabBit(tab)) != 0;
}

struct TabInfo {
    std::string_view caption;  // with its blank at each end
    int contentWidth;          // the inner window's fixed size, scrolled when the tab is smaller
    int contentHeight;
};

const TabInfo& tabInfo(PanelTab tab);

// The panels shown and read for a product: the tabs of its model, none for a product that no
// model matches (its tabs 0 to 2 are enabled but stay empty).
std::uint32_t shownPanelMask(std::string_view productName);

}  // namespace qm::studio::panels
