#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace qm::studio {

// Major, minor and build number of a version; compared in that order.
struct VersionNumbers {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;

    friend auto operator<=>(const VersionNumbers&, const VersionNumbers&) = default;
};

// What the maker's version document publishes.
struct PublishedVersion {
    VersionNumbers version;
    std::string link;
};

// A product version such as "01.04.0194.0000": split at '.', each part a decimal number
// (leading zeros allowed), major, minor and build from the first three; a missing or
// non-numeric part counts as 0.
VersionNumbers parseProductVersion(std::string_view text);

// The document's top-level "Ver" element: Major, Minor and Build as numbers (0 when missing or
// not a number), Link as text. A document without that element publishes 0.0.0. Nothing for
// empty text or text that isn't well-formed XML.
std::optional<PublishedVersion> parseVersionDocument(std::string_view xml);

// The product version of this studio, from the build.
VersionNumbers installedVersion();
const char* installedVersionText();

}  // namespace qm::studio
