#include "common/profiles/apply_log.h"

namespace qm::profiles {

void ApplyLog::setListener(Listener listener) {
    std::lock_guard guard(mutex_);
    listener_ = std::move(listener);
}

std::size_t ApplyLog::add(std::string text, EntryImage image) {
    std::lock_guard guard(mutex_);
    const bool inProgress = image == EntryImage::InProgress;
    entries_.push_back({std::move(text), image, inProgress});
    const std::size_t index = entries_.size() - 1;
    if (inProgress)
        inProgress_ = index;
    if (listener_)
        listener_(Change::Added, index, entries_.back());
    return index;
}

void ApplyLog::finish(std::size_t index, std::string text, EntryImage image) {
    std::lock_guard guard(mutex_);
    if (index >= entries_.size())
        return;
    ApplyEntry& entry = entries_[index];
    entry.text = std::move(text);
    entry.image = image;
    entry.inProgress = false;
    if (inProgress_ == index)
        inProgress_.reset();
    if (listener_)
        listener_(Change::Changed, index, entry);
}

ApplyEntry ApplyLog::entry(std::size_t index) const {
    std::lock_guard guard(mutex_);
    return index < entries_.size() ? entries_[index] : ApplyEntry{};
}

std::vector<ApplyEntry> ApplyLog::entries() const {
    std::lock_guard guard(mutex_);
    return entries_;
}

std::size_t ApplyLog::size() const {
    std::lock_guard guard(mutex_);
    return entries_.size();
}

std::optional<std::size_t> ApplyLog::inProgress() const {
    std::lock_guard guard(mutex_);
    return inProgress_;
}

}  // namespace qm::profiles
