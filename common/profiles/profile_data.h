#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/settings/models.h"

namespace qm::profiles {

// The index of profile files by model: one list of paths per product string, in the order
// "Alder", "Birch", "Cedar", "Larch", "Rowan", "CP2114 USB-Audio Bridge". The profiles that fit a
// microphone are exactly the list of its product string; any other product has none.
class CProfileData {
  public:
    // Empties the lists and fills each from its model's sub-folder: every regular file whose
    // name ends in ".xml" (any case), without a look at its content. Links and folders are
    // skipped. Files come in name order (ASCII case-insensitive), as a directory listing shows
    // them, so every rescan gives the same order.
    void rescan(const std::filesystem::path& profileFolder);

    // The list of a product string (compared without regard to ASCII case); empty for others.
    const std::vector<std::string>& paths(std::string_view productName) const;
    const std::vector<std::string>& paths(settings::Model model) const;

    // Appends a path to its model's list; false (nothing added) for a product outside the six.
    bool add(std::string_view productName, const std::string& path);
    // Drops a path from whichever list holds it; false when none does.
    bool remove(const std::string& path);

  private:
    std::array<std::vector<std::string>, settings::kProductNames.size()> lists_;
};

// Deletes a profile's file and then drops its path from `data`. A file that is already gone, or
// that can't be deleted, leaves everything as it was: false, with the reason in `error`.
bool deleteProfile(CProfileData& data, const std::string& path, std::string& error);

}  // namespace qm::profiles
