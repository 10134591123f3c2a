#include "platform/servicehost/unit_journal.h"

#include <systemd/sd-journal.h>

#include <memory>
#include <optional>
#include <string_view>

namespace qm::servicehost {
namespace {

constexpr int kEntriesLooked = 200;
constexpr int kErrorPriority = 3;

struct JournalCloser {
    void operator()(sd_journal* journal) const { sd_journal_close(journal); }
};
using Journal = std::unique_ptr<sd_journal, JournalCloser>;

Journal open(const std::string& directory) {
    sd_journal* journal = nullptr;
    const int result = directory.empty()
                           ? sd_journal_open(&journal, SD_JOURNAL_LOCAL_ONLY | SD_JOURNAL_SYSTEM)
                           : sd_journal_open_directory(&journal, directory.c_str(), 0);
    return Journal(result >= 0 ? journal : nullptr);
}

bool addMatch(sd_journal* journal, const std::string& field, const std::string& value) {
    const std::string match = field + "=" + value;
    return sd_journal_add_match(journal, match.data(), match.size()) >= 0;
}

// The value of a field of the current entry.
std::optional<std::string> field(sd_journal* journal, const char* name) {
    const void* data = nullptr;
    size_t length = 0;
    if (sd_journal_get_data(journal, name, &data, &length) < 0) {
        return std::nullopt;
    }
    std::string_view text(static_cast<const char*>(data), length);
    const std::string_view prefix = std::string_view(name);
    if (text.size() <= prefix.size() || text.substr(0, prefix.size()) != prefix ||
        text[prefix.size()] != '=') {
        return std::nullopt;
    }
    text.remove_prefix(prefix.size() + 1);
    return std::string(text);
}

// One line, without control characters: a message may carry its own line breaks.
std::string oneLine(const std::string& message) {
    std::string line;
    for (const char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        line += byte < 0x20 || byte == 0x7F ? ' ' : c;
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

}  // namespace

std::string lastUnitJournalError(const std::string& unitName, const std::string& invocationId,
                                 const std::string& journalDirectory) {
    const Journal journal = open(journalDirectory);
    if (!journal || !addMatch(journal.get(), "_SYSTEMD_UNIT", unitName)) {
        return {};
    }
    if (!invocationId.empty() && !addMatch(journal.get(), "_SYSTEMD_INVOCATION_ID", invocationId)) {
        return {};
    }
    if (sd_journal_seek_tail(journal.get()) < 0) {
        return {};
    }
    std::string latest;
    for (int looked = 0; looked < kEntriesLooked && sd_journal_previous(journal.get()) > 0;
         ++looked) {
        const std::optional<std::string> message = field(journal.get(), "MESSAGE");
        if (!message || message->empty()) {
            continue;
        }
        const std::optional<std::string> priority = field(journal.get(), "PRIORITY");
        if (priority && priority->size() == 1 && (*priority)[0] >= '0' &&
            (*priority)[0] - '0' <= kErrorPriority) {
            return oneLine(*message);
        }
        if (latest.empty()) {
            latest = oneLine(*message);
        }
    }
    return latest;
}

}  // namespace qm::servicehost
