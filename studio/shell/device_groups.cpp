#include "studio/shell/device_groups.h"

#include <array>

#include "common/text/text.h"

namespace qm::studio {
namespace {

struct GroupEntry {
    int id;
    std::string_view header;
    std::uint32_t panelMask;
};

constexpr std::array<GroupEntry, 6> kGroups = {{
    {1, "CP2114 USB-Audio Bridge", 15},
    {2, "Alder", 15},
    {3, "Birch", 31},
    {4, "Cedar", 23},
    {5, "Larch", 55},
    {6, "Rowan", 55},
}};

constexpr std::uint32_t kOtherPanelMask = 7;

const GroupEntry* findGroup(std::string_view productName) {
    for (const GroupEntry& group : kGroups) {
        if (text::asciiIEquals(group.header, productName)) {
            return &group;
        }
    }
    return nullptr;
}

}  // namespace

int deviceGroupOf(std::string_view productName) {
    const GroupEntry* group = findGroup(productName);
    return group == nullptr ? 0 : group->id;
}

std::string_view deviceGroupHeader(int groupId) {
    for (const GroupEntry& group : kGroups) {
        if (group.id == groupId) {
            return group.header;
        }
    }
    return {};
}

std::uint32_t panelMaskOf(std::string_view productName) {
    const GroupEntry* group = findGroup(productName);
    return group == nullptr ? kOtherPanelMask : group->panelMask;
}

}  // namespace qm::studio
