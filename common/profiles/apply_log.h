#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The log of one apply run: the entries a status view shows, each with its text, its image and
// whether it is in progress. The run adds and changes entries from its own thread; a viewer
// reads them from another.
namespace qm::profiles {

// Image of an entry. A view animates an entry in progress with frames of its own.
enum class EntryImage { Success = 0, Error = 1, InProgress = 2 };

struct ApplyEntry {
    std::string text;
    EntryImage image = EntryImage::InProgress;
    bool inProgress = false;

    friend bool operator==(const ApplyEntry&, const ApplyEntry&) = default;
};

class ApplyLog {
  public:
    enum class Change { Added, Changed };
    // Told of every change, with the entry as it now stands and the log's lock held: it must be
    // quick (print a line, post the index to a viewer's own thread) and must not call back into
    // the log.
    using Listener = std::function<void(Change change, std::size_t index, const ApplyEntry& entry)>;

    // Replaces the listener; none with an empty function. Once this returns, the previous
    // listener is not running and will not be called again, so its owner may go away.
    void setListener(Listener listener);

    // Adds an entry; with the in-progress image it becomes the entry in progress. Returns its
    // index.
    std::size_t add(std::string text, EntryImage image);
    // Gives an entry its final text and image; it is no longer in progress.
    void finish(std::size_t index, std::string text, EntryImage image);

    ApplyEntry entry(std::size_t index) const;
    std::vector<ApplyEntry> entries() const;
    std::size_t size() const;
    // The entry in progress, if any.
    std::optional<std::size_t> inProgress() const;

  private:
    mutable std::mutex mutex_;
    std::vector<ApplyEntry> entries_;
    std::optional<std::size_t> inProgress_;
    Listener listener_;
};

}  // namespace qm::profiles
